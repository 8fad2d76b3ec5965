// Placeholder: replaced by the main window's implementation.
#include "BackMDI.h"

BackMDI::BackMDI(Core&, const QString&, QWidget* parent) : QMainWindow(parent) {}
