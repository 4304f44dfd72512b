// The table of live GDI objects. A handle carries a slot index and the slot's
// generation, so a deleted handle stays refused after its slot is reused, and
// a handle of the wrong type is refused too.
//
// Locking: operations hold the table's shared lock while they use objects
// (TableReader); creating and deleting objects take it exclusively
// (TableWriter), so no object disappears under a running operation. Drawing on
// a DC also holds that DC's lock. The single-pixel calls, the program's most
// frequent, take only the DC's lock (LockedDC): slots never move, and a DC's
// memory is reused for later DCs, never freed.
#pragma once

#include <pthread.h>

#include <memory>
#include <mutex>
#include <shared_mutex>

#include "platform/posix/gdi/gdi_objects.h"

namespace win::stand_in {

// A readers-writer lock that lets a waiting writer in before new readers, so
// that a thread drawing pixel after pixel cannot hold off another thread's
// DeleteDC or CreateCompatibleDC. Never taken twice by one thread.
class TableLock {
 public:
  TableLock();
  ~TableLock();
  TableLock(const TableLock&) = delete;
  TableLock& operator=(const TableLock&) = delete;
  void lock();
  void unlock();
  void lock_shared();
  void unlock_shared();

 private:
  pthread_rwlock_t rwlock_;
};
using TableReader = std::shared_lock<TableLock>;
using TableWriter = std::unique_lock<TableLock>;

TableLock& GdiTableLock();

// Lookup of a live object (of one type); null and ERROR_INVALID_HANDLE otherwise.
GdiObject* FindObjectLocked(const void* handle);
void SetInvalidHandle();
template <typename T>
T* FindLocked(const void* handle, GdiType type) {
  GdiObject* object = FindObjectLocked(handle);
  if (object && object->type == type) return static_cast<T*>(object);
  if (object) SetInvalidHandle();
  return nullptr;
}
inline DeviceContext* FindDCLocked(HDC dc) {
  return FindLocked<DeviceContext>(dc, GdiType::DeviceContext);
}

// With the lock held exclusively. Insert gives null when the table is full.
void* InsertLocked(std::unique_ptr<GdiObject> object);
void RemoveLocked(const void* handle);  // a DC ended before (EndDC)
// A DC to fill in and insert: a fresh one or an ended one, in its first state.
std::unique_ptr<DeviceContext> NewDCLocked();
// Makes a live DC's handle stale for LockedDC, before what it holds is given back.
void EndDC(DeviceContext& dc);

// Without the table's lock: the DC in the handle's slot, maybe ended or living
// under another handle since; its memory stays valid.
DeviceContext* DCInSlot(const void* handle);

// The stock objects, made when the table is first used.
HGDIOBJ StockObject(int index);  // null for an unknown index

}  // namespace win::stand_in
