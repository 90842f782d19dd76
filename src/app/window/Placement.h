#pragma once
// Controls placed at fixed positions (left, top, width, height in pixels) and found by their names.

template <typename Widget>
Widget* Place(Widget* widget, const char* name, int left, int top, int width, int height)
{
    widget->setObjectName(name);
    widget->setGeometry(left, top, width, height);
    return widget;
}
