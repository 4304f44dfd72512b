// The GDI handle table: slots of owned objects with generations, a queue of
// free slots (reused oldest first), ended DCs kept for reuse, and the stock
// objects.
#include "platform/posix/gdi/handle_table.h"

#include <deque>
#include <vector>

#include "platform/posix/gdi/canvas.h"
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
// As many objects as a Windows process may hold at most, in blocks that are
// allocated when first needed and never move.
constexpr size_t MaximumSlots = 65535;
constexpr size_t BlockSlots = 256;
constexpr size_t BlockCount = (MaximumSlots + BlockSlots - 1) / BlockSlots;
// An entry is the owned object's address with its type in the low bits.
constexpr uintptr_t TypeBits = 7;
static_assert(alignof(GdiObject) > TypeBits);

struct Slot {
  std::atomic<uintptr_t> entry{0};  // 0 when free
  uintptr_t generation = 1;         // under the lock
};

struct Table {
  TableLock lock;
  std::atomic<Slot*> blocks[BlockCount] = {};
  size_t slotCount = 0;
  std::deque<uint32_t> freeSlots;
  std::vector<std::unique_ptr<DeviceContext>> endedDCs;
  HGDIOBJ stock[NULL_PEN + 1] = {};
  Table();
};

Slot* SlotAt(Table& table, size_t index) {
  Slot* block = table.blocks[index / BlockSlots].load(std::memory_order_acquire);
  return block ? &block[index % BlockSlots] : nullptr;
}

// The slot a well-formed handle names, or null.
Slot* SlotOf(Table& table, const void* handle) {
  uintptr_t value = reinterpret_cast<uintptr_t>(handle);
  uintptr_t number = (value >> SlotShift) & SlotMask;
  if ((value & ((uintptr_t{1} << SlotShift) - 1)) != HandleTag || number == 0 || number > MaximumSlots) return nullptr;
  return SlotAt(table, number - 1);
}

GdiObject* ObjectOf(uintptr_t entry) {
  return reinterpret_cast<GdiObject*>(entry & ~TypeBits);
}

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
    if (table.slotCount >= MaximumSlots) {
      // A DC stays in memory even when refused: it may be an ended one.
      if (object->type == GdiType::DeviceContext)
        table.endedDCs.emplace_back(static_cast<DeviceContext*>(object.release()));
      return nullptr;
    }
    index = static_cast<uint32_t>(table.slotCount++);
    std::atomic<Slot*>& block = table.blocks[index / BlockSlots];
    if (!block.load(std::memory_order_relaxed)) block.store(new Slot[BlockSlots], std::memory_order_release);
  }
  Slot& slot = *SlotAt(table, index);
  uintptr_t type = static_cast<uintptr_t>(object->type);
  slot.entry.store(reinterpret_cast<uintptr_t>(object.release()) | type, std::memory_order_release);
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
  Slot* slot = SlotOf(TheTable(), handle);
  uintptr_t entry = slot ? slot->entry.load(std::memory_order_acquire) : 0;
  if (!entry || GenerationBits(slot->generation) != reinterpret_cast<uintptr_t>(handle) >> GenerationShift) {
    SetInvalidHandle();
    return nullptr;
  }
  return ObjectOf(entry);
}

DeviceContext* DCInSlot(const void* handle) {
  Slot* slot = SlotOf(TheTable(), handle);
  uintptr_t entry = slot ? slot->entry.load(std::memory_order_acquire) : 0;
  if ((entry & TypeBits) != static_cast<uintptr_t>(GdiType::DeviceContext) || !entry) return nullptr;
  return static_cast<DeviceContext*>(ObjectOf(entry));
}

void* InsertLocked(std::unique_ptr<GdiObject> object) {
  void* handle = InsertInto(TheTable(), std::move(object));
  if (!handle) SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  return handle;
}

void RemoveLocked(const void* handle) {
  Table& table = TheTable();
  Slot& slot = *SlotOf(table, handle);
  GdiObject* object = ObjectOf(slot.entry.exchange(0, std::memory_order_acq_rel));
  ++slot.generation;
  table.freeSlots.push_back(static_cast<uint32_t>(((reinterpret_cast<uintptr_t>(handle) >> SlotShift) & SlotMask) - 1));
  if (object->type != GdiType::DeviceContext) {
    delete object;
    return;
  }
  // Set back while nothing can use it: the DC ended before, so LockedDC gives
  // up on it without reading its state.
  auto* dc = static_cast<DeviceContext*>(object);
  static_cast<DeviceContextState&>(*dc) = DeviceContextState{};
  dc->lock.store(&dc->ownLock, std::memory_order_release);
  table.endedDCs.emplace_back(dc);
}

std::unique_ptr<DeviceContext> NewDCLocked() {
  Table& table = TheTable();
  if (table.endedDCs.empty()) return std::make_unique<DeviceContext>();
  std::unique_ptr<DeviceContext> dc = std::move(table.endedDCs.back());
  table.endedDCs.pop_back();
  return dc;
}

// The DC's memory stays valid, and its lock too (its own, or one of the fixed
// surface locks). Under the lock, the handle it holds tells whether it is the
// one asked for; its lock cannot change while it is, but the lock first read
// may be that of an earlier life of the DC.
void LockedDC::FindAgain(HDC handle) {
  lock_ = nullptr;
  for (DeviceContext* dc = dc_; dc;) {
    ShortLock& lock = dc->Lock();
    lock.lock();
    if (dc->handle.load(std::memory_order_acquire) != handle) {
      lock.unlock();
      break;
    }
    if (&dc->Lock() == &lock) {
      lock_ = &lock;
      return;
    }
    lock.unlock();
  }
  dc_ = nullptr;
  SetInvalidHandle();
}

void EndDC(DeviceContext& dc) {
  std::lock_guard<ShortLock> guard(dc.Lock());
  dc.handle.store(nullptr, std::memory_order_release);
}

HGDIOBJ StockObject(int index) {
  if (index < 0 || index > NULL_PEN) return nullptr;
  return TheTable().stock[index];
}

}  // namespace win::stand_in
