// The program's globals live in this one file so that they are constructed in this order and
// destroyed in the reverse one: the dialog object outlives the data it shows. The toolkit's
// application record lives with the toolkit.
#include "app/update_data.h"
#include "app/update_process_dialog.h"

Cupdate_process_dialog g_progress_dialog;
Cupdate_data g_update;
