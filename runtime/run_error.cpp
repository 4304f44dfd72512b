// Run-time errors: from a failed I/O check, from an explicit call, or from a
// fault; each records where it happened and leaves through Halt.
#include "runtime/system.h"

namespace rtl {

namespace {

// A frame as the compiler lays it out with frame pointers kept: the caller's
// frame, then the return address into the caller.
struct Frame {
  Frame* caller;
  void* returnAddress;
};

}  // namespace

__attribute__((noinline)) void IOCheck() {
  if (InOutRes == 0) return;
  uint16_t e = InOutRes;
  InOutRes = 0;
  HandleErrorFrame(e, __builtin_frame_address(0));
}

__attribute__((noinline)) void HandleErrorFrame(uint16_t number, void* frame) {
  Frame* f = static_cast<Frame*>(frame);
  HandleErrorAddrFrame(number, f->returnAddress, f->caller);
}

__attribute__((noinline)) void HandleError(uint16_t number) {
  HandleErrorFrame(number, __builtin_frame_address(0));
}

__attribute__((noinline)) void RunError(uint16_t number) {
  Frame* own = static_cast<Frame*>(__builtin_frame_address(0));
  ErrorCode = number;
  ErrorAddr = own->returnAddress;
  ErrorBase = own->caller;
  Halt(ErrorCode);
}

void HandleErrorAddrFrame(uint16_t number, void* address, void* frame) {
  if (ErrorProc) ErrorProc(number, address, frame);
  ErrorCode = number;
  ErrorAddr = address;
  ErrorBase = frame;
  Halt(ErrorCode);
}

void Halt(int32_t code) {
  ExitCode = code;
  DoExit();
}

}  // namespace rtl
