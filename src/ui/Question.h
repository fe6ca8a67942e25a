#pragma once

#include <QString>

class QWidget;

// Asks the user a question in a box over window, with the action's own caption and キャンセル (the
// default, so that Enter never does by mistake what cannot be undone); whether the user took the action.
bool askToGoOn(QWidget &window, const QString &question, const QString &action);
