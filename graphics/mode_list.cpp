// The two mode lists: every record in registration order, and one list per
// colour depth sorted by size. Both own separately allocated copies.
#include "graphics/mode_list.h"

namespace graph {

PModeInfo ModeList;
NewModeListType NewModeList;

namespace {

PModeInfo CopyOf(const TModeInfo& mode) {
  PModeInfo copy = new TModeInfo(mode);
  copy->Next = nullptr;
  return copy;
}

// Sizes order by width first, then height, compared unsigned.
bool SmallerSize(const TModeInfo& node, uint16_t maxX, uint16_t maxY) {
  return node.MaxX < maxX || (node.MaxX == maxX && node.MaxY < maxY);
}

void FileBySize(int16_t driver, const TModeInfo& mode) {
  PModeInfo* link = &NewModeList.Modes[driver];
  while (*link && SmallerSize(**link, mode.MaxX, mode.MaxY)) link = &(*link)->Next;
  PModeInfo reached = *link;
  if (reached && reached->MaxX == mode.MaxX && reached->MaxY == mode.MaxY) {
    PModeInfo keptNext = reached->Next;
    *reached = mode;
    reached->Next = keptNext;
  } else {
    PModeInfo inserted = CopyOf(mode);
    inserted->Next = reached;
    *link = inserted;
  }
  int16_t count = 0;
  for (PModeInfo node = NewModeList.Modes[driver]; node; node = node->Next) node->InternModeNumber = ++count;
  NewModeList.LoHi[driver] = {1, count};
}

void AppendToModeList(const TModeInfo& mode) {
  PModeInfo* link = &ModeList;
  while (*link) link = &(*link)->Next;
  *link = CopyOf(mode);
}

PModeInfo SearchNewDriver(int16_t driver, int16_t& mode) {
  PModeInfo head = NewModeList.Modes[driver];
  if (mode == LowestMode) {
    mode = NewModeList.LoHi[driver].Lo;
    return head;
  }
  if (mode == HighestMode) {
    mode = NewModeList.LoHi[driver].Hi;
    if (mode == -1) return nullptr;
    PModeInfo last = head;
    while (last && last->Next) last = last->Next;
    return last;
  }
  if (!head) return nullptr;
  int32_t width, height;
  if (Mode2Res(mode, width, height)) {
    uint16_t maxX = static_cast<uint16_t>(width - 1), maxY = static_cast<uint16_t>(height - 1);
    PModeInfo node = head;
    while (node && SmallerSize(*node, maxX, maxY)) node = node->Next;
    return node && node->MaxX == maxX && node->MaxY == maxY ? node : nullptr;
  }
  for (PModeInfo node = head; node; node = node->Next)
    if (node->InternModeNumber == mode) return node;
  return nullptr;
}

PModeInfo SearchDriverNumbering(int16_t driver, int16_t& mode) {
  PModeInfo node = ModeList;
  if (mode == LowestMode || mode == HighestMode) {
    while (node && node->DriverNumber != driver) node = node->Next;
    if (!node) return nullptr;
    if (mode == HighestMode)
      while (node->Next && node->Next->DriverNumber == driver) node = node->Next;
    mode = node->ModeNumber;
    return node;
  }
  for (; node; node = node->Next)
    if (node->DriverNumber == driver && node->ModeNumber == mode) return node;
  return nullptr;
}

void FreeList(PModeInfo& head) {
  while (head) {
    PModeInfo next = head->Next;
    delete head;
    head = next;
  }
}

}  // namespace

void InitMode(TModeInfo& mode) {
  mode = TModeInfo{};
}

void AddMode(const TModeInfo& mode) {
  int16_t driver = NoNewDriver, resolutionMode = NoNewDriver;
  Res2Mode(int32_t{mode.MaxX} + 1, int32_t{mode.MaxY} + 1, mode.MaxColor, driver, resolutionMode);
  if (driver != NoNewDriver) FileBySize(driver, mode);
  AppendToModeList(mode);
}

PModeInfo SearchMode(int16_t driver, int16_t& mode) {
  return IsNewDriver(driver) ? SearchNewDriver(driver, mode) : SearchDriverNumbering(driver, mode);
}

void GetModeRange(int16_t driver, int16_t& lowest, int16_t& highest) {
  highest = -1;
  lowest = LowestMode;
  if (!SearchMode(driver, lowest)) {
    lowest = -1;
    return;
  }
  highest = HighestMode;
  SearchMode(driver, highest);
}

void ClearModeLists() {
  ModeList = nullptr;
  for (int16_t driver = LowNewDriver; driver <= HighNewDriver; ++driver) {
    NewModeList.Modes[driver] = nullptr;
    NewModeList.LoHi[driver] = {-1, -1};
  }
}

void FreeModeLists() {
  FreeList(ModeList);
  for (int16_t driver = LowNewDriver; driver <= HighNewDriver; ++driver) FreeList(NewModeList.Modes[driver]);
  ClearModeLists();
}

}  // namespace graph
