#pragma once
// Registry service. Status values are the platform's (0 success, 2 not found,
// 5 access denied); the registry layer keeps the last one.
#include <cstdint>
#include <string>

namespace trwk {

enum class RootKey : std::uint32_t {
  None = 0,
  ClassesRoot = 0x80000000u,
  CurrentUser = 0x80000001u,
  LocalMachine = 0x80000002u,
  Users = 0x80000003u,
  PerformanceData = 0x80000004u,
  CurrentConfig = 0x80000005u,
  DynData = 0x80000006u,
};

enum class ValueType : std::uint32_t { None = 0, String = 1, ExpandString = 2, Binary = 3, Dword = 4, Other = 0xFFFFFFFFu };

namespace regstatus {
inline constexpr long kSuccess = 0;
inline constexpr long kFileNotFound = 2;
inline constexpr long kAccessDenied = 5;
inline constexpr long kInvalidHandle = 6;
inline constexpr long kMoreData = 234;
}  // namespace regstatus

struct RegValue {
  ValueType type = ValueType::None;
  std::string data;  // string values: Windows-1252 text without the final NUL
};

class Registry {
 public:
  virtual ~Registry() = default;
  // Subkey paths are backslash-separated and compared without regard to case.
  virtual long keyExists(RootKey root, const std::string& subkey) = 0;
  virtual long createKey(RootKey root, const std::string& subkey) = 0;
  // Sets a string value under an existing key; creates nothing.
  virtual long setString(RootKey root, const std::string& subkey, const std::string& name,
                         const std::string& value) = 0;
  virtual long queryValue(RootKey root, const std::string& subkey, const std::string& name,
                          RegValue& out) = 0;
  virtual long deleteValue(RootKey root, const std::string& subkey, const std::string& name) = 0;
  // Deletes a key that has no subkeys.
  virtual long deleteKey(RootKey root, const std::string& subkey) = 0;
};

}  // namespace trwk
