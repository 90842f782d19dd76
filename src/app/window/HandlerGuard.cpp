#include "HandlerGuard.h"

#include <QMessageBox>
#include <exception>

#include "ApplicationSetUp.h"
#include "MessageText.h"

void RunGuarded(QWidget* parent, const std::function<void()>& handler)
{
    try {
        handler();
    } catch (const std::exception& e) {
        QMessageBox::critical(parent, kProgramName, QString::fromStdString(DisplayText(e.what())));
    }
}
