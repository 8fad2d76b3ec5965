// Placeholder: replaced by the window's implementation.
#include "EnemyStatsForm.h"

EnemyStatsForm::EnemyStatsForm(Core&, QWidget* parent) : QWidget(parent) {}
void EnemyStatsForm::refreshValues() {}
