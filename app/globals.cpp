// The program's three globals live in this one file so that they are constructed in this order
// and destroyed in the reverse one: the dialog object outlives neither the data it shows nor the
// application record its toolkit uses.
#include "app/update_data.h"
#include "app/update_process_dialog.h"
#include "kesto/application.h"

Cupdate_process_dialog g_progress_dialog;
Cupdate_data g_update;
Kesto::Capplication g_application;
