#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// windows.h first: intrin.h needs its types.
#include <intrin.h>

#include <vector>

#include "port/os_port_api_windows.h"
#include "port/system_port_api.h"

namespace zor {

namespace {

// The service-control functions as the library exports them.
using OpenSCManagerAFn = SC_HANDLE(WINAPI*)(LPCSTR, LPCSTR, DWORD);
using CreateServiceAFn = SC_HANDLE(WINAPI*)(SC_HANDLE, LPCSTR, LPCSTR, DWORD, DWORD, DWORD, DWORD,
                                            LPCSTR, LPCSTR, LPDWORD, LPCSTR, LPCSTR, LPCSTR);
using OpenServiceAFn = SC_HANDLE(WINAPI*)(SC_HANDLE, LPCSTR, DWORD);
using StartServiceAFn = BOOL(WINAPI*)(SC_HANDLE, DWORD, LPCSTR*);
using DeleteServiceFn = BOOL(WINAPI*)(SC_HANDLE);
using CloseServiceHandleFn = BOOL(WINAPI*)(SC_HANDLE);

static_assert(sizeof(OSVERSIONINFOA) == 148, "the version query expects a record of 148 bytes");

template <typename Function>
Function entry_point(OsHandle entry) {
  return reinterpret_cast<Function>(entry);
}

OsHandle to_handle(const void* pointer) {
  return reinterpret_cast<OsHandle>(pointer);
}

HANDLE to_windows_handle(OsHandle handle) {
  return reinterpret_cast<HANDLE>(handle);
}

SC_HANDLE to_service_handle(OsHandle handle) {
  return reinterpret_cast<SC_HANDLE>(handle);
}

}  // namespace

std::unique_ptr<OsPortApi> make_system_port_api() {
  return std::make_unique<WindowsPortApi>();
}

uint32_t WindowsPortApi::platform_id() {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof(info);
#ifdef _MSC_VER
#pragma warning(suppress : 4996)  // deprecated, but the platform id is all that is asked
#endif
  if (!GetVersionExA(&info)) return 0;
  return info.dwPlatformId;
}

OsHandle WindowsPortApi::open_device(const std::string& path) {
  const HANDLE device =
      CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  return device == INVALID_HANDLE_VALUE ? kInvalidDeviceHandle : to_handle(device);
}

void WindowsPortApi::close_handle(OsHandle handle) {
  CloseHandle(to_windows_handle(handle));
}

bool WindowsPortApi::device_control(OsHandle device, uint32_t code, void* in, uint32_t in_size,
                                    void* out, uint32_t out_size, uint32_t* bytes_returned) {
  DWORD returned = 0;
  const BOOL ok = DeviceIoControl(to_windows_handle(device), code, in, in_size, out, out_size,
                                  &returned, nullptr);
  if (bytes_returned != nullptr) *bytes_returned = returned;
  return ok != FALSE;
}

void WindowsPortApi::set_last_error(uint32_t code) {
  SetLastError(code);
}

uint32_t WindowsPortApi::last_error() const {
  return GetLastError();
}

OsHandle WindowsPortApi::load_library(const std::string& name) {
  return to_handle(LoadLibraryA(name.c_str()));
}

OsHandle WindowsPortApi::get_proc_address(OsHandle library, const std::string& name) {
  return reinterpret_cast<OsHandle>(
      GetProcAddress(reinterpret_cast<HMODULE>(library), name.c_str()));
}

void WindowsPortApi::free_library(OsHandle library) {
  FreeLibrary(reinterpret_cast<HMODULE>(library));
}

OsHandle WindowsPortApi::open_sc_manager(OsHandle entry, uint32_t access) {
  return to_handle(entry_point<OpenSCManagerAFn>(entry)(nullptr, nullptr, access));
}

OsHandle WindowsPortApi::create_service(OsHandle entry, OsHandle manager, const std::string& name,
                                        const std::string& display_name, uint32_t access,
                                        uint32_t service_type, uint32_t start_type,
                                        uint32_t error_control, const std::string& binary_path) {
  return to_handle(entry_point<CreateServiceAFn>(entry)(
      to_service_handle(manager), name.c_str(), display_name.c_str(), access, service_type,
      start_type, error_control, binary_path.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr));
}

OsHandle WindowsPortApi::open_service(OsHandle entry, OsHandle manager, const std::string& name,
                                      uint32_t access) {
  return to_handle(
      entry_point<OpenServiceAFn>(entry)(to_service_handle(manager), name.c_str(), access));
}

bool WindowsPortApi::start_service(OsHandle entry, OsHandle service, uint32_t argc,
                                   const char** argv) {
  return entry_point<StartServiceAFn>(entry)(to_service_handle(service), argc, argv) != FALSE;
}

bool WindowsPortApi::delete_service(OsHandle entry, OsHandle service) {
  return entry_point<DeleteServiceFn>(entry)(to_service_handle(service)) != FALSE;
}

bool WindowsPortApi::close_service_handle(OsHandle entry, OsHandle handle) {
  return entry_point<CloseServiceHandleFn>(entry)(to_service_handle(handle)) != FALSE;
}

std::string WindowsPortApi::executable_directory() {
  std::vector<char> buffer(MAX_PATH);
  DWORD length = 0;
  // A path longer than the buffer comes back cut short with the full buffer used.
  while ((length = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()))) ==
         buffer.size()) {
    buffer.resize(buffer.size() * 2);
  }
  const std::string path(buffer.data(), length);
  const auto separator = path.find_last_of("\\/");
  return separator == std::string::npos ? std::string() : path.substr(0, separator + 1);
}

uint8_t WindowsPortApi::direct_in(uint16_t address) {
  return __inbyte(address);
}

void WindowsPortApi::direct_out(uint16_t address, uint8_t value) {
  __outbyte(address, value);
}

}  // namespace zor
