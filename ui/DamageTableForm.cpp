// Placeholder: replaced by the window's implementation.
#include "DamageTableForm.h"

DamageTableForm::DamageTableForm(Core&, QWidget* parent) : QWidget(parent) {}
void DamageTableForm::refreshValues() {}
