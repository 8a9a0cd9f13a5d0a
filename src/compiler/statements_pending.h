// State the statement conversion reads from the expression conversion and
// that no shared header declares yet.
#pragma once

// Name of the pointer variable whose postfix "++"/"--" left its update to the
// statement (set together with pointer_step_pending; may be null).
extern const char* pointer_step_name;
