// The requester's four entry points. Each forwards to the core with the calling client: the process's default
// client for BTRCALL, the client named by the 16-byte identifier for BTRCALLID. The names are exported
// undecorated by wbtrv32.def.
#include <cstdint>

#include "requester/core/BtrCall.h"

using reqcore::ClientKey;

extern "C" {

int16_t __stdcall BTRCALL(uint16_t operation, void* posBlock, void* dataBuf, uint16_t* dataLen, void* keyBuf,
                          uint8_t keyLen, int8_t keyNum) {
  return reqcore::CoreCall(ClientKey::Default(), operation, posBlock, dataBuf, dataLen, keyBuf, keyLen, keyNum);
}

// A missing identifier names the default client.
int16_t __stdcall BTRCALLID(uint16_t operation, void* posBlock, void* dataBuf, uint16_t* dataLen, void* keyBuf,
                            uint8_t keyLen, int8_t keyNum, void* clientId) {
  const ClientKey client = clientId ? ClientKey::FromId(clientId) : ClientKey::Default();
  return reqcore::CoreCall(client, operation, posBlock, dataBuf, dataLen, keyBuf, keyLen, keyNum);
}

int16_t __stdcall WBTRVINIT(const char* options) {
  return reqcore::CoreInit(options ? options : "");
}

int16_t __stdcall WBTRVSTOP() {
  return reqcore::CoreStop();
}

}  // extern "C"
