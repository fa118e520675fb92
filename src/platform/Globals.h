#pragma once
// Values every window needs, owned by the platform layer.
#include <QString>

namespace kivro {

// The program folder (folder of the executable) without a trailing "/": read-only data lives here.
extern QString gAppPath;

// The answer of the last message box (OK 1, Cancel 2, Abort 3, Retry 4, Ignore 5, Yes 6, No 7).
extern int gMsgResult;

} // namespace kivro
