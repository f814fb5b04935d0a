#include "kesto/application.h"

// Nothing in the toolkit reads this record while globals are built or torn down, so it may live
// in its own translation unit beside the program's other globals.
Kesto::Capplication g_application;
