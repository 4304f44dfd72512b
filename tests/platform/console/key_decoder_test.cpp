// Terminal bytes into console key events. Arbitrary bytes are the fuzzer's;
// here the keys each byte sequence must give.
#include "platform/posix/console/key_decoder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Key {
  int virtualKey, scanCode, character;
  unsigned state;
  bool operator==(const Key&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Key& k) {
  return out << "{vk " << k.virtualKey << " scan " << k.scanCode << " char " << k.character << " state 0x" << std::hex
             << k.state << std::dec << "}";
}

// Each string is one read from the terminal; the end counts as the Esc timeout.
// Every key-down must be followed by its key-up.
std::vector<Key> Decode(const std::vector<std::string>& reads, const uint32_t* eightBit = nullptr,
                        const std::vector<win::stand_in::EntryKey>* entryKeys = nullptr) {
  win::stand_in::KeyDecoder decoder;
  decoder.eightBit = eightBit;
  decoder.entryKeys = entryKeys;
  std::vector<win::INPUT_RECORD> events;
  for (const std::string& bytes : reads)
    DecodeKeyBytes(decoder, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), events);
  EndKeyBytes(decoder, events);
  EXPECT_FALSE(KeyDecoderWaiting(decoder));
  std::vector<Key> keys;
  for (size_t i = 0; i + 1 < events.size(); i += 2) {
    const auto& down = events[i].Event.KeyEvent;
    const auto& up = events[i + 1].Event.KeyEvent;
    EXPECT_TRUE(down.bKeyDown && !up.bKeyDown && down.wVirtualKeyCode == up.wVirtualKeyCode &&
                down.uChar.AsciiChar == up.uChar.AsciiChar && down.dwControlKeyState == up.dwControlKeyState);
    keys.push_back({down.wVirtualKeyCode, down.wVirtualScanCode, static_cast<unsigned char>(down.uChar.AsciiChar),
                    down.dwControlKeyState});
  }
  return keys;
}

constexpr unsigned Shift = SHIFT_PRESSED, Ctrl = LEFT_CTRL_PRESSED, Alt = LEFT_ALT_PRESSED, Enhanced = ENHANCED_KEY;

TEST(KeyDecoder, CharactersAndControlKeys) {
  // Printable characters with their US-layout keys; Enter, Backspace (both
  // bytes), Tab, Ctrl+letters, Shift+Tab; typed characters in code page 1252
  // (ø, €, an arrow it lacks); a lone Esc at the end.
  std::vector<Key> expected = {
      {'A', 30, 'a', 0},      {'A', 30, 'A', Shift}, {'1', 2, '!', Shift},   {0xC0, 41, '~', Shift},
      {VK_SPACE, 57, ' ', 0}, {0xBF, 53, '/', 0},    {0xBA, 39, ':', Shift}, {0xDC, 43, '\\', 0},
      {VK_RETURN, 28, 13, 0}, {VK_BACK, 14, 8, 0},   {VK_BACK, 14, 8, 0},    {VK_TAB, 15, 9, 0},
      {'A', 30, 1, Ctrl},     {'S', 31, 19, Ctrl},   {'Z', 44, 26, Ctrl},    {VK_TAB, 15, 9, Shift},
      {0, 0, 0xF8, 0},        {0, 0, 0x80, 0},       {0, 0, '?', 0},         {VK_ESCAPE, 1, 27, 0},
  };
  EXPECT_EQ(Decode({"aA!~ /:\\\r\x7f\x08\t\x01\x13\x1a\x1b[Z\xc3\xb8\xe2\x82\xac\xe2\x86\x92\x1b"}), expected);
}

TEST(KeyDecoder, CursorEditingAndFunctionKeysWithModifiers) {
  // Enhanced, without a character, in each form terminals send.
  std::vector<Key> expected = {
      {VK_UP, 72, 0, Enhanced},     {VK_DOWN, 80, 0, Enhanced},   {VK_RIGHT, 77, 0, Enhanced},
      {VK_LEFT, 75, 0, Enhanced},   {VK_HOME, 71, 0, Enhanced},   {VK_END, 79, 0, Enhanced},
      {VK_INSERT, 82, 0, Enhanced}, {VK_DELETE, 83, 0, Enhanced}, {VK_PRIOR, 73, 0, Enhanced},
      {VK_NEXT, 81, 0, Enhanced},   {VK_UP, 72, 0, Enhanced},     {VK_HOME, 71, 0, Enhanced},
      {VK_END, 79, 0, Enhanced},
  };
  EXPECT_EQ(Decode({"\x1b[A\x1b[B\x1b[C\x1b[D\x1b[H\x1b[F\x1b[2~\x1b[3~\x1b[5~\x1b[6~\x1bOA\x1b[1~\x1b[4~"}), expected);
  expected.clear();
  const int scans[] = {59, 60, 61, 62, 63, 64, 65, 66, 67, 68, 87, 88};
  for (int i = 0; i < 12; ++i) expected.push_back({VK_F1 + i, scans[i], 0, 0});
  EXPECT_EQ(Decode({"\x1bOP\x1bOQ\x1bOR\x1bOS\x1b[15~\x1b[17~\x1b[18~\x1b[19~\x1b[20~\x1b[21~\x1b[23~\x1b[24~"}),
            expected);
  // xterm's modifier parameter is one more than Shift 1, Alt 2, Ctrl 4; rxvt
  // marks Ctrl by '^' and Shift by '$'; F1 and F5 have older forms too.
  const unsigned ShiftAltCtrl = Shift | Alt | Ctrl;
  expected = {
      {VK_UP, 72, 0, Enhanced | Ctrl},
      {VK_LEFT, 75, 0, Enhanced | Shift},
      {VK_DELETE, 83, 0, Enhanced | Alt},
      {VK_HOME, 71, 0, Enhanced | ShiftAltCtrl},
      {VK_DELETE, 83, 0, Enhanced | Shift},
      {VK_F1, 59, 0, Shift},
      {VK_F2, 60, 0, Ctrl},
      {VK_F2, 60, 0, Ctrl},
      {VK_F12, 88, 0, Alt},
      {VK_F1, 59, 0, 0},
      {VK_F5, 63, 0, 0},
  };
  EXPECT_EQ(Decode({"\x1b[1;5A\x1b[1;2D\x1b[3;3~\x1b[1;8H\x1b[3$\x1b[1;2P\x1bO5Q\x1b[12^\x1b[24;3~\x1b[11~\x1b[[E"}),
            expected);
}

TEST(KeyDecoder, AltSplitKeysAndWhatIsNoKey) {
  // An Esc before a key is left Alt; Esc Esc before a key that starts no
  // sequence is Alt+Esc, then the key; Alt+[ looks like a sequence until nothing follows.
  std::vector<Key> expected = {
      {'X', 45, 'x', Alt},     {'X', 45, 'X', Alt | Shift}, {VK_RETURN, 28, 13, Alt}, {0, 0, 0xF8, Alt},
      {VK_ESCAPE, 1, 27, Alt}, {'Q', 16, 'q', 0},           {0xDB, 26, '[', Alt},
  };
  EXPECT_EQ(Decode({"\x1bx\x1bX\x1b\r\x1b\xc3\xb8\x1b\x1bq\x1b["}), expected);
  EXPECT_EQ(Decode({"\x1b\x1b[F"}), (std::vector<Key>{{VK_END, 79, 0, Enhanced | Alt}}));
  // Keys split across reads are waited for.
  EXPECT_EQ(Decode({"\x1b", "[1;", "5B", "\xc3", "\xb8"}),
            (std::vector<Key>{{VK_DOWN, 80, 0, Enhanced | Ctrl}, {0, 0, 0xF8, 0}}));
  // Malformed UTF-8 (a stray continuation, overlong forms, a surrogate, a cut
  // character) gives no key; unknown sequences are dropped whole, and so is one
  // cut by another or left unfinished.
  EXPECT_EQ(Decode({"\xb8\xc0\xaf\xe0\x80\xaf\xed\xa0\x80\xc3"
                    "a\x1b[99~\x1b[?1;2c\x1b[<0;12;5M\x1b[2A\x1b[1;5;7A\x1bOz\x1b[1;99A\x1b[[Z\x1b[1;2$x\x1b[12345678~"
                    "\x1b[" +
                    std::string(300, '1') + ";5A\x1b[1;\x1b[B\x1b[3\r\x1b[1;5"}),
            (std::vector<Key>{{'A', 30, 'a', 0}, {VK_DOWN, 80, 0, Enhanced}, {VK_RETURN, 28, 13, 0}}));
}

TEST(KeyDecoder, TerminalReportsAreNoKeys) {
  // Each report, whole, between two keys: mouse reports in the X10 form (its
  // three bytes may be anything), SGR and urxvt forms; OSC strings ended by BEL
  // and by ST; DCS, APC, PM and SOS strings; focus in and out; paste markers.
  const std::string reports[] = {
      "\x1b[M !!",
      "\x1b[M\xff\x1b\x0d",
      "\x1b[<0;12;5M",
      "\x1b[<64;300;200m",
      "\x1b[32;5;7M",
      "\x1b]11;rgb:0/0/0\a",
      "\x1b]10;rgb:ff/ff/ff\x1b\\",
      "\x1bP1$r0m\x1b\\",
      "\x1b_Gi=1;OK\x1b\\",
      "\x1b^pm\x1b\\",
      "\x1bXsos\x1b\\",
      "\x1b[I",
      "\x1b[O",
      "\x1b[200~",
      "\x1b[201~",
  };
  for (const std::string& report : reports)
    EXPECT_EQ(Decode({"a" + report + "7"}), (std::vector<Key>{{'A', 30, 'a', 0}, {'7', 8, '7', 0}})) << report;
  // A report cut by a new sequence ends there; a string introducer followed by
  // no string is Alt with its key.
  EXPECT_EQ(Decode({"\x1b]11;rgb\x1b[A"}), (std::vector<Key>{{VK_UP, 72, 0, Enhanced}}));
  EXPECT_EQ(Decode({"\x1bP\r\x1b]"}),
            (std::vector<Key>{{'P', 25, 'P', Alt | Shift}, {VK_RETURN, 28, 13, 0}, {0xDD, 27, ']', Alt}}));
}

TEST(KeyDecoder, EnterFormsEightBitLocalesAndTheEntrysKeys) {
  // Keypad Enter in application mode, with a modifier, and in the "CSI u"
  // forms is Enter; a line feed is Ctrl+J.
  const Key enter{VK_RETURN, 28, 13, 0};
  EXPECT_EQ(Decode({"\x1bOM\x1bO5M\x1b[13u\x1b[57414u\n"}),
            (std::vector<Key>{enter, {VK_RETURN, 28, 13, Ctrl}, enter, enter, {'J', 36, 10, Ctrl}}));
  // A Latin-1 locale: 0xF8 is "ø", and Alt+ø keeps it.
  uint32_t latin1[128];
  for (int i = 0; i < 128; ++i) latin1[i] = static_cast<uint32_t>(0x80 + i);
  EXPECT_EQ(Decode({"\xf8\x1b\xe9"}, latin1), (std::vector<Key>{{0, 0, 0xF8, 0}, {0, 0, 0xE9, Alt}}));
  // The entry's own strings come before the common forms.
  std::vector<win::stand_in::EntryKey> entry = {{"\x1b[25~", "kf1"}, {"\x1b[2~", "kdch1"}, {"\x1bOM", "kent"}};
  EXPECT_EQ(Decode({"\x1b[25~\x1b[2~\x1b\x1bOM"}, nullptr, &entry),
            (std::vector<Key>{{VK_F1, 59, 0, 0}, {VK_DELETE, 83, 0, Enhanced}, {VK_RETURN, 28, 13, Alt}}));
}

}  // namespace
