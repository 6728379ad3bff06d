// The interface an ASIO driver object exposes after the three IUnknown
// methods, slot by slot. The host and the project's test driver both use this
// declaration; it must not change order.
//
// Calling convention: the driver's methods use the member-call convention of
// the compiler that built it. On x86_64 Windows there is one calling
// convention, and the object pointer travels as the first argument (RCX), so
// plain virtual methods match any driver. (A 32-bit build would need the
// object in ECX with the arguments on the stack.)
//
// Integers the interface declares as "long" are 32 bits on Windows; int32_t
// is used for them.
#pragma once

#include <objbase.h>

#include "app/engine/AsioTypes.h"

namespace ov::asio {

struct IAsio : public IUnknown {
  virtual int32_t init(void* systemReference) = 0;  // nonzero: success
  virtual void getDriverName(char* name) = 0;       // at most 32 bytes
  virtual int32_t getDriverVersion() = 0;
  virtual void getErrorMessage(char* text) = 0;  // at most 124 bytes
  virtual int32_t start() = 0;
  virtual int32_t stop() = 0;
  virtual int32_t getChannels(int32_t* inputs, int32_t* outputs) = 0;
  virtual int32_t getLatencies(int32_t* input, int32_t* output) = 0;
  virtual int32_t getBufferSize(int32_t* minimum, int32_t* maximum, int32_t* preferred,
                                int32_t* granularity) = 0;
  virtual int32_t canSampleRate(double rate) = 0;
  virtual int32_t getSampleRate(double* rate) = 0;
  virtual int32_t setSampleRate(double rate) = 0;
  // The two clock-source slots; the host does not call them.
  virtual int32_t getClockSources(void* clocks, int32_t* count) = 0;
  virtual int32_t setClockSource(int32_t reference) = 0;
  virtual int32_t getSamplePosition(Samples64* position, Samples64* systemTime) = 0;
  virtual int32_t getChannelInfo(ChannelInfo* info) = 0;
  virtual int32_t createBuffers(BufferInfo* infos, int32_t count, int32_t frames,
                                Callbacks* callbacks) = 0;
  virtual int32_t disposeBuffers() = 0;
  virtual int32_t controlPanel() = 0;
  virtual int32_t future(int32_t selector, void* argument) = 0;
  virtual int32_t outputReady() = 0;
};

}  // namespace ov::asio
