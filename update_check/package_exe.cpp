#include "update_check/package_exe.h"

#include <windows.h>
#include <wincrypt.h>
#include <wintrust.h>
#include <softpub.h>

#include <memory>
#include <vector>

#include "fs/paths.h"
#include "fs/text.h"

namespace {

// Closed on every way out, as the crypt API wants each of them closed.
struct Cmessage_closer { void operator()(void* message) const { CryptMsgClose(message); } };
struct Ccertificate_freer { void operator()(const CERT_CONTEXT* certificate) const { CertFreeCertificateContext(certificate); } };

// The name of the signer of the signature embedded in the file, or empty text when the file
// holds none that Windows can decode.
std::wstring signer_name(const std::wstring& path)
{
    DWORD encoding = 0, content = 0, format = 0;
    HCRYPTMSG raw_message = nullptr;
    if (!CryptQueryObject(CERT_QUERY_OBJECT_FILE, path.c_str(), CERT_QUERY_CONTENT_FLAG_PKCS7_SIGNED_EMBED,
                          CERT_QUERY_FORMAT_FLAG_BINARY, 0, &encoding, &content, &format, nullptr, &raw_message,
                          nullptr))
        return std::wstring();
    const std::unique_ptr<void, Cmessage_closer> message(raw_message);
    // The signer's certificate among the signature's own, taken as it is: the trust verdict is
    // Windows' own, asked apart.
    const CERT_CONTEXT* raw_certificate = nullptr;
    if (!CryptMsgGetAndVerifySigner(message.get(), 0, nullptr, CMSG_SIGNER_ONLY_FLAG, &raw_certificate, nullptr))
        return std::wstring();
    const std::unique_ptr<const CERT_CONTEXT, Ccertificate_freer> certificate(raw_certificate);
    wchar_t name[256] = {};
    CertGetNameStringW(certificate.get(), CERT_NAME_SIMPLE_DISPLAY_TYPE, 0, nullptr, name, 256);
    return name;
}

// Windows' own verdict on the file's signature, without asking the network: revocation lists and
// missing issuers are not fetched, so the check takes the same moment everywhere.
LONG trust_verdict(const std::wstring& path)
{
    WINTRUST_FILE_INFO file = {};
    file.cbStruct = sizeof file;
    file.pcwszFilePath = path.c_str();
    WINTRUST_DATA data = {};
    data.cbStruct = sizeof data;
    data.dwUIChoice = WTD_UI_NONE;
    data.fdwRevocationChecks = WTD_REVOKE_NONE;
    data.dwUnionChoice = WTD_CHOICE_FILE;
    data.pFile = &file;
    data.dwStateAction = WTD_STATEACTION_VERIFY;
    data.dwProvFlags = WTD_CACHE_ONLY_URL_RETRIEVAL;
    GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
    const LONG verdict = WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data);
    data.dwStateAction = WTD_STATEACTION_CLOSE;
    WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data);
    return verdict;
}

// The four numbers of the fixed part of the version resource, as the file VERSION writes them.
std::wstring file_version(const std::wstring& path)
{
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    std::vector<BYTE> data(size);
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (size == 0 || !GetFileVersionInfoW(path.c_str(), 0, size, data.data()) ||
        !VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) || length < sizeof *fixed)
        return std::wstring();
    return format_text(L"%u.%u.%u.%u", HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
                       HIWORD(fixed->dwFileVersionLS), LOWORD(fixed->dwFileVersionLS));
}

}  // namespace

Cpackage_exe inspect_package_exe()
{
    Cpackage_exe exe;
    // Whole, as Windows' trust check wants it.
    const std::wstring path = full_path(L"update.exe");
    exe.present = file_exists(path);
    if (!exe.present)
        return exe;
    exe.signer = signer_name(path);
    const LONG verdict = trust_verdict(path);
    exe.trust_code = format_text(L"0x%08lX", static_cast<unsigned long>(verdict));
    if (verdict == ERROR_SUCCESS)
        exe.signature = Csignature_state::trusted;
    else if (verdict == TRUST_E_BAD_DIGEST)
        exe.signature = Csignature_state::altered;
    else if (!exe.signer.empty())
        exe.signature = Csignature_state::untrusted;
    else if (verdict == TRUST_E_NOSIGNATURE)
        exe.signature = Csignature_state::none;
    else
        // A file Windows cannot take for a program, or a signature table cut short.
        exe.signature = Csignature_state::unreadable;
    exe.version = file_version(path);
    return exe;
}
