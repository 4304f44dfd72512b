// Terminal bytes into console key events, as typed keys and as arbitrary bytes.
#include "platform/posix/console/key_decoder.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

using win::stand_in::DecodeKeyBytes;
using win::stand_in::EndKeyBytes;
using win::stand_in::KeyDecoder;
using win::stand_in::KeyDecoderWaiting;

struct Key {
  int virtualKey, scanCode, character;
  unsigned state;
  bool operator==(const Key&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Key& k) {
  return out << "{vk " << k.virtualKey << " scan " << k.scanCode << " char " << k.character << " state 0x" << std::hex
             << k.state << std::dec << "}";
}

// The keys of the events, checking that each key-down is followed by its key-up.
std::vector<Key> KeysOf(const std::vector<win::INPUT_RECORD>& events) {
  std::vector<Key> keys;
  EXPECT_EQ(events.size() % 2, 0u);
  for (size_t i = 0; i + 1 < events.size(); i += 2) {
    const auto& down = events[i].Event.KeyEvent;
    const auto& up = events[i + 1].Event.KeyEvent;
    EXPECT_EQ(events[i].EventType, KEY_EVENT);
    EXPECT_TRUE(down.bKeyDown);
    EXPECT_FALSE(up.bKeyDown);
    EXPECT_EQ(down.wRepeatCount, 1);
    EXPECT_EQ(down.wVirtualKeyCode, up.wVirtualKeyCode);
    EXPECT_EQ(down.wVirtualScanCode, up.wVirtualScanCode);
    EXPECT_EQ(down.uChar.AsciiChar, up.uChar.AsciiChar);
    EXPECT_EQ(down.dwControlKeyState, up.dwControlKeyState);
    keys.push_back({down.wVirtualKeyCode, down.wVirtualScanCode, static_cast<unsigned char>(down.uChar.AsciiChar),
                    down.dwControlKeyState});
  }
  return keys;
}

// Each string is one read from the terminal; the end of input counts as the Esc timeout.
std::vector<Key> DecodeReads(const std::vector<std::string>& reads) {
  KeyDecoder decoder;
  std::vector<win::INPUT_RECORD> events;
  for (const std::string& bytes : reads)
    DecodeKeyBytes(decoder, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), events);
  EndKeyBytes(decoder, events);
  EXPECT_FALSE(KeyDecoderWaiting(decoder));
  return KeysOf(events);
}
std::vector<Key> Decode(const std::string& bytes) {
  return DecodeReads({bytes});
}

constexpr unsigned Shift = SHIFT_PRESSED, Ctrl = LEFT_CTRL_PRESSED, Alt = LEFT_ALT_PRESSED, Enhanced = ENHANCED_KEY;

TEST(KeyDecoder, PrintableCharactersWithTheirUsLayoutKeys) {
  std::vector<Key> expected = {
      {'A', 30, 'a', 0},      {'A', 30, 'A', Shift},  {'1', 2, '1', 0},       {'1', 2, '!', Shift},
      {'0', 11, ')', Shift},  {0xC0, 41, '~', Shift}, {VK_SPACE, 57, ' ', 0}, {0xBF, 53, '/', 0},
      {0xBA, 39, ':', Shift}, {0xDE, 40, '"', Shift}, {0xBD, 12, '_', Shift}, {0xDC, 43, '\\', 0},
      {'Z', 44, 'z', 0},      {'M', 50, 'M', Shift},  {0xBE, 52, '.', 0},     {0xDD, 27, '}', Shift},
  };
  EXPECT_EQ(Decode("aA1!)~ /:\"_\\zM.}"), expected);
}

TEST(KeyDecoder, EnterBackspaceTabAndControlLetters) {
  std::vector<Key> expected = {
      {VK_RETURN, 28, 13, 0}, {VK_BACK, 14, 8, 0}, {VK_BACK, 14, 8, 0}, {VK_TAB, 15, 9, 0},
      {'A', 30, 1, Ctrl},     {'S', 31, 19, Ctrl}, {'Q', 16, 17, Ctrl}, {'Z', 44, 26, Ctrl},
      {'J', 36, 10, Ctrl},    {'Y', 21, 25, Ctrl}, {'C', 46, 3, Ctrl},
  };
  EXPECT_EQ(Decode("\r\x7f\x08\t\x01\x13\x11\x1a\x0a\x19\x03"), expected);
}

TEST(KeyDecoder, CursorAndEditingKeysAreEnhancedWithoutCharacter) {
  std::vector<Key> expected = {
      {VK_UP, 72, 0, Enhanced},   {VK_DOWN, 80, 0, Enhanced},   {VK_RIGHT, 77, 0, Enhanced},
      {VK_LEFT, 75, 0, Enhanced}, {VK_HOME, 71, 0, Enhanced},   {VK_END, 79, 0, Enhanced},
      {VK_HOME, 71, 0, Enhanced}, {VK_INSERT, 82, 0, Enhanced}, {VK_DELETE, 83, 0, Enhanced},
      {VK_END, 79, 0, Enhanced},  {VK_PRIOR, 73, 0, Enhanced},  {VK_NEXT, 81, 0, Enhanced},
      {VK_UP, 72, 0, Enhanced},   {VK_HOME, 71, 0, Enhanced},   {VK_END, 79, 0, Enhanced},
  };
  EXPECT_EQ(Decode("\x1b[A\x1b[B\x1b[C\x1b[D\x1b[H\x1b[F\x1b[1~\x1b[2~\x1b[3~\x1b[4~\x1b[5~\x1b[6~\x1bOA\x1bOH\x1bOF"),
            expected);
  // xterm's modifier forms: one more than Shift 1, Alt 2, Ctrl 4.
  std::vector<Key> modified = {
      {VK_UP, 72, 0, Enhanced | Ctrl},           {VK_LEFT, 75, 0, Enhanced | Shift},
      {VK_DELETE, 83, 0, Enhanced | Alt},        {VK_HOME, 71, 0, Enhanced | Shift | Alt | Ctrl},
      {VK_NEXT, 81, 0, Enhanced | Ctrl | Shift}, {VK_END, 79, 0, Enhanced | Alt},
  };
  EXPECT_EQ(Decode("\x1b[1;5A\x1b[1;2D\x1b[3;3~\x1b[1;8H\x1b[6;6~\x1b\x1b[F"), modified);
}

TEST(KeyDecoder, FunctionKeysInEveryForm) {
  std::vector<Key> plain;
  const int scans[] = {59, 60, 61, 62, 63, 64, 65, 66, 67, 68, 87, 88};
  for (int i = 0; i < 12; ++i) plain.push_back({VK_F1 + i, scans[i], 0, 0});
  EXPECT_EQ(Decode("\x1bOP\x1bOQ\x1bOR\x1bOS\x1b[15~\x1b[17~\x1b[18~\x1b[19~\x1b[20~\x1b[21~\x1b[23~\x1b[24~"), plain);
  EXPECT_EQ(Decode("\x1b[11~\x1b[12~\x1b[13~\x1b[14~"), std::vector<Key>(plain.begin(), plain.begin() + 4));
  EXPECT_EQ(Decode("\x1b[[A\x1b[[E"), (std::vector<Key>{plain[0], plain[4]}));
  std::vector<Key> modified = {
      {VK_F1, 59, 0, Shift},    {VK_F1 + 2, 61, 0, Ctrl}, {VK_F1 + 4, 63, 0, Ctrl},
      {VK_F1 + 11, 88, 0, Alt}, {VK_F1 + 1, 60, 0, Ctrl},
  };
  EXPECT_EQ(Decode("\x1b[1;2P\x1b[1;5R\x1b[15;5~\x1b[24;3~\x1bO5Q"), modified);
  // rxvt marks Ctrl by '^', Shift by '$', both by '@'.
  EXPECT_EQ(Decode("\x1b[11^\x1b[3$\x1b[7@"), (std::vector<Key>{{VK_F1, 59, 0, Ctrl},
                                                                {VK_DELETE, 83, 0, Enhanced | Shift},
                                                                {VK_HOME, 71, 0, Enhanced | Ctrl | Shift}}));
}

TEST(KeyDecoder, ShiftTabEscapeAndAlt) {
  EXPECT_EQ(Decode("\x1b[Z"), (std::vector<Key>{{VK_TAB, 15, 9, Shift}}));
  EXPECT_EQ(Decode("\x1b"), (std::vector<Key>{{VK_ESCAPE, 1, 27, 0}}));
  EXPECT_EQ(Decode("\x1b\x1b"), (std::vector<Key>{{VK_ESCAPE, 1, 27, Alt}}));
  EXPECT_EQ(Decode("\x1bx\x1bX\x1b\r"),
            (std::vector<Key>{{'X', 45, 'x', Alt}, {'X', 45, 'X', Alt | Shift}, {VK_RETURN, 28, 13, Alt}}));
  EXPECT_EQ(Decode("\x1b\x01"), (std::vector<Key>{{'A', 30, 1, Ctrl | Alt}}));
  // Alt+[ and Alt+O look like the start of a sequence until nothing follows.
  EXPECT_EQ(Decode("\x1b["), (std::vector<Key>{{0xDB, 26, '[', Alt}}));
  EXPECT_EQ(Decode("\x1bO"), (std::vector<Key>{{'O', 24, 'O', Alt | Shift}}));
  // Esc Esc before a key that starts no sequence: Alt+Esc, then the key.
  EXPECT_EQ(Decode("\x1b\x1bq"), (std::vector<Key>{{VK_ESCAPE, 1, 27, Alt}, {'Q', 16, 'q', 0}}));
}

TEST(KeyDecoder, KeysSplitAcrossReadsAreWaitedFor) {
  KeyDecoder decoder;
  std::vector<win::INPUT_RECORD> events;
  auto feed = [&](const std::string& s) {
    DecodeKeyBytes(decoder, reinterpret_cast<const unsigned char*>(s.data()), s.size(), events);
  };
  feed("\x1b");
  EXPECT_TRUE(KeyDecoderWaiting(decoder));
  EXPECT_TRUE(events.empty());
  feed("[1;");
  EXPECT_TRUE(events.empty());
  feed("5B");
  EXPECT_EQ(KeysOf(events), (std::vector<Key>{{VK_DOWN, 80, 0, Enhanced | Ctrl}}));
  EXPECT_FALSE(KeyDecoderWaiting(decoder));
  EXPECT_EQ(DecodeReads({"\xc3", "\xb8"}), (std::vector<Key>{{0, 0, 0xF8, 0}}));
  EXPECT_EQ(DecodeReads({"\x1b", "O", "P"}), (std::vector<Key>{{VK_F1, 59, 0, 0}}));
}

TEST(KeyDecoder, TypedCharactersBecomeCodePage1252) {
  std::vector<Key> expected = {{0, 0, 0xF8, 0}, {0, 0, 0xC4, 0}, {0, 0, 0x80, 0},  {0, 0, 0x9F, 0},
                               {0, 0, '?', 0},  {0, 0, '?', 0},  {0, 0, 0xF8, Alt}};
  // ø Ä € Ÿ → 😀 Alt+ø
  EXPECT_EQ(Decode("\xc3\xb8\xc3\x84\xe2\x82\xac\xc5\xb8\xe2\x86\x92\xf0\x9f\x98\x80\x1b\xc3\xb8"), expected);
  // A stray continuation, an overlong form, a surrogate and a cut-off character are no keys.
  EXPECT_EQ(Decode("\xb8"
                   "a"
                   "\xc0\xaf"
                   "\xe0\x80\xaf"
                   "\xed\xa0\x80"
                   "\xc3"
                   "b"),
            (std::vector<Key>{{'A', 30, 'a', 0}, {'B', 48, 'b', 0}}));
}

TEST(KeyDecoder, UnknownAndMalformedSequencesAreDroppedWhole) {
  const Key a{'A', 30, 'a', 0};
  for (const char* bytes : {"\x1b[99~a", "\x1b[?1;2ca", "\x1b[<0;12;5Ma", "\x1b[2Aa", "\x1b[1;5;7Aa", "\x1b[1;99Aa",
                            "\x1b[200~a", "\x1bOza", "\x1b[[Za", "\x1b[1;2$xa", "\x1b[12345678~a"}) {
    SCOPED_TRACE(bytes + 1);
    EXPECT_EQ(Decode(bytes), (std::vector<Key>{a}));
  }
  // Parameters far longer than any key's: the whole sequence goes, up to its final byte.
  EXPECT_EQ(Decode("\x1b[" + std::string(300, '1') + ";5Ab"), (std::vector<Key>{{'B', 48, 'b', 0}}));
  // A sequence cut by a new one, or by a control byte, is dropped; what cut it counts.
  EXPECT_EQ(Decode("\x1b[1;\x1b[B"), (std::vector<Key>{{VK_DOWN, 80, 0, Enhanced}}));
  EXPECT_EQ(Decode("\x1b[3\r"), (std::vector<Key>{{VK_RETURN, 28, 13, 0}}));
  // An unfinished sequence at the end is dropped, not delivered as Esc and letters.
  EXPECT_TRUE(Decode("\x1b[1;5").empty());
}

TEST(KeyDecoder, ArbitraryBytesGiveWholeKeysOnly) {
  std::mt19937 random(1646);
  for (int round = 0; round < 200; ++round) {
    KeyDecoder decoder;
    std::vector<win::INPUT_RECORD> events;
    size_t total = 0;
    for (int read = 0; read < 20; ++read) {
      std::string bytes(random() % 64, '\0');
      // Mostly the bytes keys are made of, so that sequences and characters do form.
      for (char& b : bytes) b = static_cast<char>(random() % 3 ? "\x1b[O;1234~ABPZ\xc3\xb8"[random() % 15] : random());
      total += bytes.size();
      DecodeKeyBytes(decoder, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), events);
      ASSERT_LE(decoder.parameterLength, sizeof decoder.parameters);
    }
    EndKeyBytes(decoder, events);
    ASSERT_FALSE(KeyDecoderWaiting(decoder));
    // At most two keys per byte (Esc Esc x), each a down and an up event.
    ASSERT_LE(events.size(), 4 * total + 4);
    for (const Key& key : KeysOf(events)) {
      bool enhancedWithCharacter =
          (key.state & Enhanced) && key.character != 0 && key.character != 13 && key.character != '/';
      ASSERT_FALSE(enhancedWithCharacter) << key;
    }
  }
}

}  // namespace
