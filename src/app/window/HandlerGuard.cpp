#include "HandlerGuard.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <exception>

#include "MessageText.h"

void RunGuarded(QWidget* parent, const std::function<void()>& handler)
{
    try {
        handler();
    } catch (const std::exception& e) {
        QMessageBox::critical(parent, QGuiApplication::applicationDisplayName(),
                              QString::fromStdString(DisplayText(e.what())));
    }
}
