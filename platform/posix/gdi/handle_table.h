// The table of live GDI objects. A handle carries a slot index and the slot's
// generation, so a deleted handle stays refused after its slot is reused, and
// a handle of the wrong type is refused too.
//
// Locking: every operation holds the table's shared lock while it uses objects
// (TableReader); creating and deleting objects take it exclusively
// (TableWriter), so no object disappears under a running operation. Drawing on
// a DC also holds that DC's own lock.
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
void RemoveLocked(const void* handle);

// The stock objects, made when the table is first used.
HGDIOBJ StockObject(int index);  // null for an unknown index

}  // namespace win::stand_in
