// The main window's controls: a top band with the input and playback controls, a band of headings, the
// result grid on the left, the model grid filling the rest, and a status bar.
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTableWidget>
#include <QTextEdit>
#include <QVBoxLayout>

#include "MainDemo.h"
#include "Placement.h"

namespace {

// The platform font at sizes where the grids' widest texts ("-100%") fit their columns.
constexpr int kWindowFontPixels = 12;
constexpr int kMicFontPixels = 13;
constexpr int kNoteFontPixels = 14;
constexpr int kGridFontPixels = 11;
constexpr int kGridRowHeight = 18;
// The window never gets so small that the top panel's last control ("Last input": Play, "Save as model",
// right edge at 537 px) or the first result rows are cut off.
constexpr int kMinimumWidth = 545;
constexpr int kMinimumHeight = 230;

QFont PixelFont(const QFont& base, int pixels)
{
    QFont font = base;
    font.setPixelSize(pixels);
    return font;
}

QProgressBar* NewScanBar(QWidget* parent, Qt::Orientation orientation)
{
    auto* bar = new QProgressBar(parent);
    bar->setOrientation(orientation);
    bar->setRange(0, 100);
    bar->setTextVisible(false);
    bar->hide();
    return bar;
}

// Row 0 of a grid is its heading row (the table's header); the table's rows are the grid's rows 1 and on.
QTableWidget* NewGrid(const char* name, QWidget* parent, std::initializer_list<int> columnWidths,
                      const QStringList& headings)
{
    auto* grid = new QTableWidget(parent);
    grid->setObjectName(name);
    grid->setColumnCount(static_cast<int>(columnWidths.size()));
    grid->setRowCount(15);
    int column = 0;
    for (int width : columnWidths)
        grid->setColumnWidth(column++, width);
    grid->setHorizontalHeaderLabels(headings);
    grid->setFont(PixelFont(grid->font(), kGridFontPixels));
    grid->horizontalHeader()->setFont(grid->font());
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    grid->horizontalHeader()->setHighlightSections(false);
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setMinimumSectionSize(kGridRowHeight);
    grid->verticalHeader()->setDefaultSectionSize(kGridRowHeight);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setWordWrap(false);
    return grid;
}

}  // namespace

void TMainForm::CreateControls()
{
    resize(566, 370);
    setMinimumSize(kMinimumWidth, kMinimumHeight);
    move(screen()->availableGeometry().center() - rect().center());
    setFont(PixelFont(font(), kWindowFontPixels));
    auto* client = new QWidget(this);
    auto* column = new QVBoxLayout(client);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    setCentralWidget(client);

    Panel1 = new QWidget(client);
    Panel1->setObjectName("Panel1");
    Panel1->setFixedHeight(97);
    column->addWidget(Panel1);
    PBLevel = Place(NewScanBar(Panel1, Qt::Vertical), "PBLevel", 0, 0, 14, 97);
    BOpen = Place(new QPushButton("Open file", Panel1), "BOpen", 24, 4, 98, 24);
    PBScan = Place(NewScanBar(Panel1, Qt::Horizontal), "PBScan", 29, 9, 86, 13);
    CBMic = Place(new QCheckBox("Microphone", Panel1), "CBMic", 24, 31, 99, 16);
    CBMic->setFont(PixelFont(font(), kMicFontPixels));
    CBHandsFree = Place(new QCheckBox("Hands-free", Panel1), "CBHandsFree", 24, 48, 99, 16);
    CBHandsFree->setFont(CBMic->font());
    CBHandsFree->setEnabled(false);   // a choice of the microphone mode
    BClear = Place(new QPushButton("Clear result", Panel1), "BClear", 24, 68, 99, 24);
    RichEdit1 = Place(new QTextEdit(Panel1), "RichEdit1", 136, 8, 265, 81);
    RichEdit1->setReadOnly(true);
    RichEdit1->setFrameShape(QFrame::NoFrame);
    RichEdit1->setStyleSheet("QTextEdit { background: silver; }");
    RichEdit1->setFont(PixelFont(font(), kNoteFontPixels));
    RichEdit1->document()->setDefaultTextOption(QTextOption(Qt::AlignHCenter));
    RichEdit1->setPlainText("For input speech from microphone\npress and keep Ctrl key and speak \n"
                            "any command, then release Ctrl key.");
    GroupBox1 = Place(new QGroupBox(" Last input ", Panel1), "GroupBox1", 408, 8, 129, 81);
    // Below the frame's title, which ends 16 px down at the window's font size.
    BPlay = Place(new QPushButton("Play", GroupBox1), "BPlay", 16, 20, 98, 24);
    BPlay->setEnabled(false);
    BSaveModel = Place(new QPushButton("Save as model", GroupBox1), "BSaveModel", 16, 50, 98, 24);
    BSaveModel->setEnabled(false);

    Panel2 = new QWidget(client);
    Panel2->setObjectName("Panel2");
    Panel2->setFixedHeight(24);
    column->addWidget(Panel2);
    auto* headings = new QHBoxLayout(Panel2);
    headings->setContentsMargins(0, 0, 0, 0);
    QFont bold = font();
    bold.setBold(true);
    Label2 = new QLabel("Recognition result", Panel2);
    Label2->setObjectName("Label2");
    Label2->setFixedWidth(248);
    Label3 = new QLabel("DataBase Models", Panel2);
    Label3->setObjectName("Label3");
    for (QLabel* label : {Label2, Label3}) {
        label->setFont(bold);
        label->setAlignment(Qt::AlignCenter);
        headings->addWidget(label);
    }

    auto* grids = new QHBoxLayout;
    grids->setSpacing(0);
    column->addLayout(grids, 1);
    GridRes = NewGrid("GridRes", client, {107, 43, 84}, {"Near model", "Like", "Distance"});
    GridRes->setFixedWidth(257);
    GridRes->setSelectionMode(QAbstractItemView::SingleSelection);
    SGModels = NewGrid("SGModels", client, {137, 70, 67}, {"Model name", "Last result", ""});
    SGModels->setSelectionMode(QAbstractItemView::ContiguousSelection);
    grids->addWidget(GridRes);
    grids->addWidget(SGModels);

    statusBar()->setFixedHeight(19);
    CBAligned = new QCheckBox("Aligned matching", statusBar());
    CBAligned->setObjectName("CBAligned");
    statusBar()->addWidget(CBAligned);
    CBReject = new QCheckBox("Отклонять не команды", statusBar());
    CBReject->setObjectName("CBReject");
    statusBar()->addWidget(CBReject);

    LStatus = new QLabel(statusBar());
    LStatus->setObjectName("LStatus");
    statusBar()->addWidget(LStatus, 1);
}
