#include "launcher/app/win32/library_check.h"

#include <windows.h>
#include <bcrypt.h>

#include <vector>

#include "common/win32/handles.h"

namespace quillet::launcher {

namespace {

struct AlgorithmTraits {
    static BCRYPT_ALG_HANDLE invalid() { return nullptr; }
    static void close(BCRYPT_ALG_HANDLE algorithm) { ::BCryptCloseAlgorithmProvider(algorithm, 0); }
};
struct HashTraits {
    static BCRYPT_HASH_HANDLE invalid() { return nullptr; }
    static void close(BCRYPT_HASH_HANDLE hash) { ::BCryptDestroyHash(hash); }
};
using UniqueAlgorithm = UniqueResource<BCRYPT_ALG_HANDLE, AlgorithmTraits>;
using UniqueHash = UniqueResource<BCRYPT_HASH_HANDLE, HashTraits>;

constexpr DWORD kDigestBytes = 32;
constexpr DWORD kReadBlock = 1 << 16;

bool succeeded(NTSTATUS status) { return status >= 0; }

}  // namespace

std::string fileDigest(const std::string& path) {
    win32::UniqueFile file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                         FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) return std::string();
    BCRYPT_ALG_HANDLE algorithmHandle = nullptr;
    if (!succeeded(::BCryptOpenAlgorithmProvider(&algorithmHandle, BCRYPT_SHA256_ALGORITHM, nullptr, 0)))
        return std::string();
    UniqueAlgorithm algorithm(algorithmHandle);
    BCRYPT_HASH_HANDLE hashHandle = nullptr;
    if (!succeeded(::BCryptCreateHash(algorithm.get(), &hashHandle, nullptr, 0, nullptr, 0, 0))) return std::string();
    UniqueHash hash(hashHandle);

    std::vector<UCHAR> block(kReadBlock);
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(file.get(), block.data(), kReadBlock, &got, nullptr)) return std::string();
        if (got == 0) break;
        if (!succeeded(::BCryptHashData(hash.get(), block.data(), got, 0))) return std::string();
    }
    UCHAR digest[kDigestBytes] = {};
    if (!succeeded(::BCryptFinishHash(hash.get(), digest, kDigestBytes, 0))) return std::string();
    static const char kHex[] = "0123456789abcdef";
    std::string text;
    for (UCHAR byte : digest) {
        text += kHex[byte >> 4];
        text += kHex[byte & 15];
    }
    return text;
}

std::string loadedModulePath(const char* name) {
    HMODULE module = ::GetModuleHandleA(name);
    if (!module) return std::string();
    char path[MAX_PATH] = {};
    DWORD length = ::GetModuleFileNameA(module, path, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::string(path, length) : std::string();
}

}  // namespace quillet::launcher
