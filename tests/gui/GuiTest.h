#pragma once
// What the window tests share: a program folder with the reference models, a script that answers the
// modal dialogs a handler opens, and readers for what the window shows.
#include <QApplication>
#include <QObject>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <ostream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ApplicationSetUp.h"
#include "TempDir.h"

class QDialog;
class QTableWidget;
class TMainForm;

// The application set up as the program sets it up.
#define PARLANTO_GUI_TEST_MAIN(TestClass)                \
    int main(int argc, char** argv)                      \
    {                                                    \
        QApplication application(argc, argv);            \
        SetUpApplication();                              \
        TestClass test;                                  \
        return QTest::qExec(&test, argc, argv);          \
    }

// The same for a program of GoogleTest tests (those sharing the sound-server fixture); it includes gtest.
#define PARLANTO_GUI_GTEST_MAIN()                        \
    int main(int argc, char** argv)                      \
    {                                                    \
        QApplication application(argc, argv);            \
        SetUpApplication();                              \
        testing::InitGoogleTest(&argc, argv);            \
        return RUN_ALL_TESTS();                          \
    }

// A program folder in a scratch folder: Models/ holds a copy of the reference model set.
class TProgramFolder : public TempDir {
public:
    TProgramFolder();
    QString ProgramDir() const { return QString::fromStdString(Dir()); }
    // The names of the files under Models/ with their contents: what a save did or did not change.
    std::vector<std::pair<std::string, std::string>> ModelFiles() const;
};

// A reference utterance of tests/data/golden/wav, e.g. "open_test1".
std::string GoldenWav(const std::string& name);

// Answers the modal dialogs that show up, in order: each step waits for a modal dialog of its type and acts
// on it. A dialog nobody answers within a few seconds is rejected and counted, so that a broken test fails
// instead of hanging.
class TModalScript : public QObject {
public:
    TModalScript();
    ~TModalScript() override;

    template <typename Dialog>
    TModalScript& Then(std::function<void(Dialog*)> action)
    {
        steps_.push_back({[](QWidget* widget) { return qobject_cast<Dialog*>(widget) != nullptr; },
                          [action](QWidget* widget) { action(qobject_cast<Dialog*>(widget)); }});
        return *this;
    }
    // Types the file name into a file dialog and accepts it.
    TModalScript& ChooseFile(const std::string& fileName);
    // Reads a message box's text into text and closes it.
    TModalScript& ReadMessage(QString& text);

    bool AllStepsRan() const { return steps_.empty(); }
    int Unanswered() const { return unanswered_; }

private:
    void Poll();

    struct TStep {
        std::function<bool(QWidget*)> Matches;
        std::function<void(QWidget*)> Act;
    };
    std::vector<TStep> steps_;
    QTimer timer_;
    int idlePolls_ = 0;
    int unanswered_ = 0;
};

// The window on the folder's models, shown and active.
std::unique_ptr<TMainForm> ShowWindow(const TProgramFolder& folder);

// Opens a file through "Open file" and its dialog, as a user does; message receives the text of an error
// box, when one is expected.
void OpenFile(TMainForm& window, const std::string& fileName, QString* message = nullptr);

// One key event as the platform delivers it to the window, reporting exactly these modifiers (QTest's key
// functions add presses and releases of the modifier keys of their own).
void SendKey(QWindow* window, QEvent::Type type, Qt::Key key, Qt::KeyboardModifiers modifiers,
             bool autoRepeat = false);

// The rows of a grid below its headings, each as its cells joined by "|".
QStringList GridRows(const QTableWidget* grid);
QStringList GridHeadings(const QTableWidget* grid);

inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

// A control of the window by its name; a missing one ends the test program.
template <typename Widget>
Widget* Control(const QWidget& window, const char* name)
{
    Widget* widget = window.findChild<Widget*>(name);
    if (widget == nullptr)
        qFatal("no control %s", name);
    return widget;
}
