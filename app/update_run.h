#pragma once

// Phase 8: copies the whole update under the progress dialog.
bool run_update();
bool copy_update();
