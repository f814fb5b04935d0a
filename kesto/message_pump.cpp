#include "kesto/message_pump.h"

namespace Kesto {

bool pump_messages() { return true; }
bool dispatch_message(MSG&) { return true; }

}  // namespace Kesto
