// Message boxes: the line "Caption: text" on standard error, answered with OK
// at once, so that nothing waits for a person who may not be there.
#include <string>

#include "platform/posix/kernel/kernel_api.h"
#include "platform/posix/user/user_api.h"

namespace win {

int WINAPI MessageBoxA(HWND, LPCSTR lpText, LPCSTR lpCaption, UINT) {
  // Windows titles a box without a caption "Error".
  std::string line = lpCaption ? lpCaption : "Error";
  line += ": ";
  line += lpText ? lpText : "";
  line += '\n';
  // Through the standard error handle, so a console shows it in its place.
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_ERROR_HANDLE), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  return IDOK;
}

}  // namespace win
