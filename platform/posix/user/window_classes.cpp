// Window classes (names compare case-insensitively, as on Windows) and the
// stock icon and cursor.
#include <strings.h>

#include <list>

#include "platform/posix/kernel/handle_object.h"
#include "platform/posix/user/user_api.h"
#include "platform/posix/user/window_record.h"

namespace win::stand_in {
namespace {

// A list, so records (and the name pointers in them) never move.
std::list<WindowClassRecord>& Classes() {
  static auto* classes = new std::list<WindowClassRecord>;
  return *classes;
}

// Names given as an atom (MAKEINTATOM) are values below 0x10000.
bool IsAtom(LPCSTR name) {
  return reinterpret_cast<uintptr_t>(name) < 0x10000;
}

}  // namespace

const WindowClassRecord* FindClassLocked(LPCSTR nameOrAtom) {
  if (!nameOrAtom) return nullptr;
  for (const WindowClassRecord& record : Classes()) {
    if (IsAtom(nameOrAtom) ? record.atom == reinterpret_cast<uintptr_t>(nameOrAtom)
                           : strcasecmp(record.name.c_str(), nameOrAtom) == 0)
      return &record;
  }
  return nullptr;
}

}  // namespace win::stand_in

namespace win {
using namespace stand_in;

ATOM WINAPI RegisterClassA(const WNDCLASSA* lpWndClass) {
  if (!lpWndClass || !lpWndClass->lpszClassName || IsAtom(lpWndClass->lpszClassName) || !*lpWndClass->lpszClassName) {
    SetLastErrorCode(ERROR_INVALID_PARAMETER);
    return 0;
  }
  std::lock_guard<std::mutex> guard(UserLock());
  if (FindClassLocked(lpWndClass->lpszClassName)) {
    SetLastErrorCode(ERROR_CLASS_ALREADY_EXISTS);
    return 0;
  }
  static ATOM nextAtom = 0xC000;  // where Windows numbers registered names
  WindowClassRecord& record = Classes().emplace_back();
  record.name = lpWndClass->lpszClassName;
  record.atom = nextAtom++;
  record.fields = *lpWndClass;
  record.fields.lpszClassName = record.name.c_str();
  return record.atom;
}

// The stock resources have no pixels here; their handles only need to be
// distinct and non-null.
HICON WINAPI LoadIconA(HINSTANCE hInstance, LPCSTR lpIconName) {
  static char applicationIcon;
  if (hInstance || lpIconName != IDI_APPLICATION) {
    SetLastErrorCode(ERROR_RESOURCE_TYPE_NOT_FOUND);  // no module resources here
    return nullptr;
  }
  return reinterpret_cast<HICON>(&applicationIcon);
}

HCURSOR WINAPI LoadCursorA(HINSTANCE hInstance, LPCSTR lpCursorName) {
  static char arrowCursor;
  if (hInstance || lpCursorName != IDC_ARROW) {
    SetLastErrorCode(ERROR_RESOURCE_TYPE_NOT_FOUND);
    return nullptr;
  }
  return reinterpret_cast<HCURSOR>(&arrowCursor);
}

}  // namespace win
