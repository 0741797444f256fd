// The two media a control store keeps its values in, each behind a small
// interface: a registry of keys holding named values, and profile (INI) files
// read and written a value at a time. On Windows they are the system's own;
// elsewhere, or for a test, a stand-in of ours takes their place.
#pragma once

#include <cstdint>
#include <string>

#include "framework/core/sysutils.h"

namespace vexel {

// Failures of the registry and of profile files, with the runtime's texts
// ("Failed to create key Settings", "Unable to write to C:\my.ini").
class ERegistryException : public Exception {
    using Exception::Exception;
};
class EIniFileException : public Exception {
    using Exception::Exception;
};

// Value types, numbered as the registry numbers them.
enum TRegDataType : uint32_t {
    rdNone = 0,
    rdString = 1,
    rdExpandString = 2,
    rdBinary = 3,
    rdInteger = 4,  // 32-bit little-endian
};

// The predefined root keys, in the order of their handles' numbers.
enum TRegRoot { rrClassesRoot, rrCurrentUser, rrLocalMachine, rrUsers, rrCurrentConfig, rrDynData };

// An open registry key; 0 is none. Root keys are never closed.
using TRegKeyHandle = uintptr_t;

enum TRegAccess {
    raRead,    // open an existing key for reading
    raCreate,  // open the key for reading and writing, creating the missing keys of its path
};

enum class TRegQuery { Found, Missing, Failed };

// A registry: a tree of keys below fixed roots, each key holding values of a
// type and raw bytes, names compared without regard to ASCII case. Every key
// opened must be closed; OpenKeyCount tells how many are open, so that a
// caller can show it released what it opened.
class TRegistryMedium {
public:
    TRegistryMedium() = default;
    TRegistryMedium(const TRegistryMedium&) = delete;
    TRegistryMedium& operator=(const TRegistryMedium&) = delete;
    virtual ~TRegistryMedium() = default;

    virtual TRegKeyHandle RootKey(TRegRoot Root) = 0;
    // SubKey is a path of names separated by backslashes, relative to
    // Parent; an empty path opens Parent again. 0 when it fails.
    TRegKeyHandle OpenKey(TRegKeyHandle Parent, const std::string& SubKey, TRegAccess Access);
    void CloseKey(TRegKeyHandle Key);
    int OpenKeyCount() const { return openKeys_; }

    // Type and raw bytes of a value (a string keeps its terminating zero when
    // it was stored with one). Missing: no value of that name.
    virtual TRegQuery QueryValue(TRegKeyHandle Key,
                                 const std::string& Name,
                                 uint32_t& Type,
                                 std::string& Data) = 0;
    virtual bool SetValue(TRegKeyHandle Key,
                          const std::string& Name,
                          uint32_t Type,
                          const std::string& Data) = 0;
    // Removes SubKey of Parent with everything below it.
    virtual bool DeleteTree(TRegKeyHandle Parent, const std::string& SubKey) = 0;

protected:
    virtual TRegKeyHandle DoOpenKey(TRegKeyHandle Parent, const std::string& SubKey, TRegAccess Access) = 0;
    virtual void DoCloseKey(TRegKeyHandle Key) = 0;

private:
    int openKeys_ = 0;
};

// Profile files: text files of [section] lines followed by key=value lines.
// Each call opens the file, does its work and closes it.
class TProfileMedium {
public:
    TProfileMedium() = default;
    TProfileMedium(const TProfileMedium&) = delete;
    TProfileMedium& operator=(const TProfileMedium&) = delete;
    virtual ~TProfileMedium() = default;

    // The value under [Section] Key, or Default with its trailing blanks
    // removed when there is none; a value in quotes loses them. At most
    // BufferSize - 1 characters come back, as from a buffer of BufferSize
    // characters that ends in a zero.
    virtual std::string ReadString(const std::string& FileName,
                                   const std::string& Section,
                                   const std::string& Key,
                                   const std::string& Default,
                                   size_t BufferSize) = 0;
    // Sets the value, creating the file, the section and the key as needed.
    // False when the file cannot be written.
    virtual bool WriteString(const std::string& FileName,
                             const std::string& Section,
                             const std::string& Key,
                             const std::string& Value) = 0;
    // Where a file name without a folder is looked for.
    virtual std::string WindowsFolder() = 0;
};

// The media the stores use: the platform's own unless a stand-in was
// installed. Installing returns the one it replaces; nullptr goes back to
// the platform's.
TRegistryMedium& Registry();
TRegistryMedium* SetRegistryMedium(TRegistryMedium* Medium);
TProfileMedium& ProfileFiles();
TProfileMedium* SetProfileMedium(TProfileMedium* Medium);

}  // namespace vexel
