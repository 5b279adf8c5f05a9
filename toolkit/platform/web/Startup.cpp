// What a start-up that fails needs in a page: the page itself shows what the
// program writes to standard error, so there is always somebody who sees it.

#include "toolkit/platform/Platform.h"

namespace TovarPlatform {

ErrorStream StandardErrorKind() { return ErrorStream::Terminal; }

// The page's own notice serves instead: a box would only repeat it.
bool ShowErrorBox(const char*, const char*) { return false; }

// A page's files are where the loader put them.
bool ChangeToProgramFolder() { return false; }

} // namespace TovarPlatform
