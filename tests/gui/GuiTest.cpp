#include "GuiTest.h"

#include "MainDemo.h"

#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTableWidget>
#include <algorithm>
#include <filesystem>

namespace {

constexpr int kPollMs = 20;
constexpr int kPatienceMs = 5000;

}  // namespace

TProgramFolder::TProgramFolder()
{
    std::filesystem::copy(std::string(PARLANTO_GOLDEN_DIR) + "/models", Path() / "Models",
                          std::filesystem::copy_options::recursive);
}

std::vector<std::pair<std::string, std::string>> TProgramFolder::ModelFiles() const
{
    std::vector<std::pair<std::string, std::string>> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(Path() / "Models")) {
        if (entry.is_regular_file()) {
            const std::string name = std::filesystem::relative(entry.path(), Path()).string();
            files.emplace_back(name, Read(name));
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::string GoldenWav(const std::string& name)
{
    return std::string(PARLANTO_GOLDEN_DIR) + "/wav/" + name + ".wav";
}

std::unique_ptr<TMainForm> ShowWindow(const TProgramFolder& folder)
{
    auto window = std::make_unique<TMainForm>(folder.ProgramDir());
    window->show();
    if (!QTest::qWaitForWindowActive(window.get()))
        qFatal("the window did not show");
    return window;
}

void OpenFile(TMainForm& window, const std::string& fileName, QString* message)
{
    QString shown;
    TModalScript script;
    script.ChooseFile(fileName);
    if (message != nullptr)
        script.ReadMessage(shown);
    QTest::mouseClick(Control<QPushButton>(window, "BOpen"), Qt::LeftButton);
    if (!script.AllStepsRan() || script.Unanswered() != 0)
        QFAIL("the file dialog or the error box did not show as expected");
    if (message != nullptr)
        *message = shown;
}

TModalScript::TModalScript()
{
    connect(&timer_, &QTimer::timeout, this, &TModalScript::Poll);
    timer_.start(kPollMs);
}

TModalScript::~TModalScript() = default;

TModalScript& TModalScript::ChooseFile(const std::string& fileName)
{
    return Then<QFileDialog>([fileName](QFileDialog* dialog) {
        const QString absolute = QFileInfo(QString::fromStdString(fileName)).absoluteFilePath();
        dialog->findChild<QLineEdit*>("fileNameEdit")->setText(absolute);
        static_cast<QDialog*>(dialog)->accept();   // QFileDialog's own accept() is protected
    });
}

TModalScript& TModalScript::ReadMessage(QString& text)
{
    return Then<QMessageBox>([&text](QMessageBox* box) {
        text = box->text();
        box->accept();
    });
}

void TModalScript::Poll()
{
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr) {
        idlePolls_ = 0;
        return;
    }
    if (!steps_.empty() && steps_.front().Matches(modal)) {
        // Acting from a fresh call lets this timer answer a dialog that the action itself opens.
        QTimer::singleShot(0, modal, [modal, act = steps_.front().Act] { act(modal); });
        steps_.erase(steps_.begin());
        idlePolls_ = 0;
        return;
    }
    if (++idlePolls_ * kPollMs < kPatienceMs)
        return;
    idlePolls_ = 0;
    ++unanswered_;
    qWarning("nobody answered the modal %s '%s'", modal->metaObject()->className(),
             qPrintable(modal->windowTitle()));
    if (auto* dialog = qobject_cast<QDialog*>(modal))
        dialog->reject();
    else
        modal->close();
}

void SendKey(QWindow* window, QEvent::Type type, Qt::Key key, Qt::KeyboardModifiers modifiers, bool autoRepeat)
{
    // A modifier key's event reports its modifier flipped against the state it carries (the platform's
    // state is the one before the key): store the state that makes it report modifiers.
    static const std::pair<Qt::Key, Qt::KeyboardModifier> kFlipped[] = {
        {Qt::Key_Shift, Qt::ShiftModifier}, {Qt::Key_Control, Qt::ControlModifier},
        {Qt::Key_Alt, Qt::AltModifier}, {Qt::Key_Meta, Qt::MetaModifier}};
    for (const auto& [modifierKey, modifier] : kFlipped) {
        if (key == modifierKey)
            modifiers ^= modifier;
    }
    QKeyEvent event(type, key, modifiers, QString(), autoRepeat);
    QCoreApplication::sendEvent(window, &event);
}

QStringList GridRows(const QTableWidget* grid)
{
    QStringList rows;
    for (int row = 0; row < grid->rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < grid->columnCount(); ++column) {
            const QTableWidgetItem* item = grid->item(row, column);
            cells << (item == nullptr ? QString() : item->text());
        }
        rows << cells.join('|');
    }
    return rows;
}

QStringList GridHeadings(const QTableWidget* grid)
{
    QStringList headings;
    for (int column = 0; column < grid->columnCount(); ++column)
        headings << grid->horizontalHeaderItem(column)->text();
    return headings;
}
