// A document unit that reaches up into the view and into the widgets.
#include <QWidget>

#include "view/Screen.h"
