#pragma once
// The Authenticode signature of a program file, read the way the player's Windows reads it before
// UAC and SmartScreen show their prompts: whether there is one, whose it is, and whether Windows
// takes it for the file as it is now.
#include <string>

enum class Csignature_state {
    // No signature: UAC says "不明な発行元", SmartScreen "Windows によって PC が保護されました".
    none,
    // Signed, and Windows trusts the signature on this very file.
    trusted,
    // Signed and whole, but Windows does not trust the certificate (a test certificate, an
    // expired one, an issuer it does not know); trust_code says why.
    untrusted,
    // Signed, but the file was changed after signing: damaged on the way, or tampered with.
    altered,
    // Not a program file whose signature Windows can read: truncated, or something else renamed.
    unreadable,
};

struct Cexe_signature {
    Csignature_state state = Csignature_state::none;
    // The signer's name as Windows shows it (the certificate's common name); empty without one.
    std::wstring signer;
    // WinVerifyTrust's answer: 0 when Windows trusts the signature, else why not.
    long trust_code = 0;
};

// path: whole, as Windows' trust check wants it.
Cexe_signature read_exe_signature(const std::wstring& path);
// The trust code as Windows' documentation writes it: "0x800B0109".
std::wstring trust_code_text(const Cexe_signature& signature);
