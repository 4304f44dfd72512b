#include "platform/posix/console/terminal_caps.h"

#include <curses.h>
#include <term.h>

#include <cstdlib>
#include <cstring>

namespace win::stand_in {
namespace {

// "$<5>" padding delays a real terminal does not need; the host never waits.
std::string WithoutPadding(const char* s) {
  std::string out;
  if (s == nullptr || s == reinterpret_cast<const char*>(-1)) return out;
  for (const char* p = s; *p; ++p) {
    if (p[0] == '$' && p[1] == '<') {
      const char* end = std::strchr(p, '>');
      if (end) {
        p = end;
        continue;
      }
    }
    out += *p;
  }
  return out;
}

std::string String(const char* name) {
  return WithoutPadding(tigetstr(const_cast<char*>(name)));
}

bool Flag(const char* name) {
  return tigetflag(const_cast<char*>(name)) > 0;
}

constexpr const char* KeyCapabilities[] = {
    "kcuu1", "kcud1", "kcuf1", "kcub1", "khome", "kend", "kich1", "kdch1", "kpp", "knp",  "kent", "kcbt", "kb2",
    "kf1",   "kf2",   "kf3",   "kf4",   "kf5",   "kf6",  "kf7",   "kf8",   "kf9", "kf10", "kf11", "kf12",
};

}  // namespace

TerminalCaps LoadTerminalCaps(const char* term) {
  TerminalCaps caps;
  const char* name = term ? term : std::getenv("TERM");
  caps.name = name ? name : "";
  int error = 0;
  TERMINAL* previous = cur_term;
  // Reading the entry writes nothing to the terminal.
  if (caps.name.empty() || setupterm(caps.name.c_str(), -1, &error) != OK) {
    set_curterm(previous);
    return caps;
  }
  caps.cursorAddress = String("cup");
  caps.addressable = !caps.cursorAddress.empty() && !Flag("hc");
  caps.autoWrap = Flag("am");
  caps.lateWrap = Flag("xenl");
  caps.backgroundErase = Flag("bce");
  caps.clear = String("clear");
  caps.clearToEnd = String("ed");
  caps.carriageReturn = String("cr");
  caps.scrollForward = String("ind");
  caps.scrollForwardBy = String("indn");
  caps.scrollRegion = String("csr");
  caps.resetAttributes = String("sgr0");
  caps.bold = String("bold");
  caps.showCursor = String("cnorm");
  caps.keypadOn = String("smkx");
  caps.keypadOff = String("rmkx");
  caps.cursorQuery = String("u7");
  caps.foreground = String("setaf");
  caps.background = String("setab");
  int colours = tigetnum(const_cast<char*>("colors"));
  if (!caps.foreground.empty() && !caps.background.empty() && colours >= 8) caps.colours = colours >= 16 ? 16 : 8;
  caps.xtermMeta = caps.name.rfind("xterm", 0) == 0 || Flag("XT");
  for (const char* key : KeyCapabilities) {
    std::string bytes = String(key);
    if (!bytes.empty()) caps.keys.push_back({bytes, key});
  }
  TERMINAL* loaded = cur_term;
  set_curterm(previous);
  if (loaded != previous) del_curterm(loaded);
  return caps;
}

std::string Apply(const std::string& capability, int p1, int p2) {
  if (capability.empty()) return {};
  const char* s = tiparm(capability.c_str(), p1, p2);
  return s ? s : "";
}

}  // namespace win::stand_in
