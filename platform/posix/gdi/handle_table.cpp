// The GDI handle table: slots of owned objects with generations, a queue of
// free slots (reused oldest first), and the stock objects.
#include "platform/posix/gdi/handle_table.h"

#include <deque>
#include <vector>

#include "platform/posix/kernel/kernel_api.h"

namespace win::stand_in {
namespace {

// Handle layout: generation above bit 22, slot number + 1 in bits 5 to 21, and
// a fixed tag in bits 0 to 4, so that small integers, -1 and stray pointers are
// never taken for objects.
constexpr uintptr_t HandleTag = 0x0C;
constexpr int SlotShift = 5;
constexpr int GenerationShift = 22;
constexpr uintptr_t SlotMask = (uintptr_t{1} << (GenerationShift - SlotShift)) - 1;
// As many objects as a Windows process may hold at most.
constexpr size_t MaximumSlots = 65535;

struct Slot {
  uintptr_t generation = 1;
  std::unique_ptr<GdiObject> object;
};

struct Table {
  TableLock lock;
  std::vector<Slot> slots;
  std::deque<uint32_t> freeSlots;
  HGDIOBJ stock[NULL_PEN + 1] = {};
  Table();
};

uintptr_t GenerationBits(uintptr_t generation) {
  return generation & (~uintptr_t{0} >> GenerationShift);
}

void* HandleOf(uint32_t index, uintptr_t generation) {
  uintptr_t value = (GenerationBits(generation) << GenerationShift) | ((uintptr_t{index} + 1) << SlotShift) | HandleTag;
  return reinterpret_cast<void*>(value);
}

Table& TheTable();

void* InsertInto(Table& table, std::unique_ptr<GdiObject> object) {
  uint32_t index;
  if (!table.freeSlots.empty()) {
    index = table.freeSlots.front();
    table.freeSlots.pop_front();
  } else {
    if (table.slots.size() >= MaximumSlots) return nullptr;
    table.slots.emplace_back();
    index = static_cast<uint32_t>(table.slots.size() - 1);
  }
  Slot& slot = table.slots[index];
  slot.object = std::move(object);
  return HandleOf(index, slot.generation);
}

std::unique_ptr<GdiObject> StockBrush(COLORREF color, bool hollow) {
  auto brush = std::make_unique<Brush>();
  brush->color = color;
  brush->hollow = hollow;
  brush->stock = true;
  return brush;
}

std::unique_ptr<GdiObject> StockPen(COLORREF color, bool visible) {
  auto pen = std::make_unique<Pen>();
  pen->color = color;
  pen->visible = visible;
  pen->stock = true;
  return pen;
}

Table::Table() {
  stock[WHITE_BRUSH] = InsertInto(*this, StockBrush(RGB(255, 255, 255), false));
  stock[LTGRAY_BRUSH] = InsertInto(*this, StockBrush(RGB(192, 192, 192), false));
  stock[GRAY_BRUSH] = InsertInto(*this, StockBrush(RGB(128, 128, 128), false));
  stock[DKGRAY_BRUSH] = InsertInto(*this, StockBrush(RGB(64, 64, 64), false));
  stock[BLACK_BRUSH] = InsertInto(*this, StockBrush(RGB(0, 0, 0), false));
  stock[NULL_BRUSH] = InsertInto(*this, StockBrush(0, true));
  stock[WHITE_PEN] = InsertInto(*this, StockPen(RGB(255, 255, 255), true));
  stock[BLACK_PEN] = InsertInto(*this, StockPen(RGB(0, 0, 0), true));
  stock[NULL_PEN] = InsertInto(*this, StockPen(0, false));
}

Table& TheTable() {
  static Table table;
  return table;
}

}  // namespace

TableLock::TableLock() {
  pthread_rwlockattr_t attributes;
  pthread_rwlockattr_init(&attributes);
  pthread_rwlockattr_setkind_np(&attributes, PTHREAD_RWLOCK_PREFER_WRITER_NONRECURSIVE_NP);
  pthread_rwlock_init(&rwlock_, &attributes);
  pthread_rwlockattr_destroy(&attributes);
}
TableLock::~TableLock() {
  pthread_rwlock_destroy(&rwlock_);
}
void TableLock::lock() {
  pthread_rwlock_wrlock(&rwlock_);
}
void TableLock::unlock() {
  pthread_rwlock_unlock(&rwlock_);
}
void TableLock::lock_shared() {
  pthread_rwlock_rdlock(&rwlock_);
}
void TableLock::unlock_shared() {
  pthread_rwlock_unlock(&rwlock_);
}

TableLock& GdiTableLock() {
  return TheTable().lock;
}

void SetInvalidHandle() {
  SetLastError(ERROR_INVALID_HANDLE);
}

GdiObject* FindObjectLocked(const void* handle) {
  Table& table = TheTable();
  uintptr_t value = reinterpret_cast<uintptr_t>(handle);
  uintptr_t number = (value >> SlotShift) & SlotMask;
  if ((value & ((uintptr_t{1} << SlotShift) - 1)) != HandleTag || number == 0 || number > table.slots.size()) {
    SetInvalidHandle();
    return nullptr;
  }
  Slot& slot = table.slots[number - 1];
  if (!slot.object || GenerationBits(slot.generation) != value >> GenerationShift) {
    SetInvalidHandle();
    return nullptr;
  }
  return slot.object.get();
}

void* InsertLocked(std::unique_ptr<GdiObject> object) {
  void* handle = InsertInto(TheTable(), std::move(object));
  if (!handle) SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  return handle;
}

void RemoveLocked(const void* handle) {
  Table& table = TheTable();
  uintptr_t number = (reinterpret_cast<uintptr_t>(handle) >> SlotShift) & SlotMask;
  Slot& slot = table.slots[number - 1];
  slot.object.reset();
  ++slot.generation;
  table.freeSlots.push_back(static_cast<uint32_t>(number - 1));
}

HGDIOBJ StockObject(int index) {
  if (index < 0 || index > NULL_PEN) return nullptr;
  return TheTable().stock[index];
}

}  // namespace win::stand_in
