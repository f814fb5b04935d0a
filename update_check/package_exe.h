#pragma once
// The update.exe lying in the package, which the player starts: whether it is there, whose
// signature it carries, read the way the player's Windows reads it before UAC and SmartScreen show
// their prompts, and whether it is the update.exe of the kit this checker came with, whose reading
// and checks the report describes.
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

struct Cpackage_exe {
    bool present = false;
    Csignature_state signature = Csignature_state::none;
    // The signer's name as Windows shows it (the certificate's common name); empty without one.
    std::wstring signer;
    // WinVerifyTrust's answer as Windows' documentation writes it: "0x00000000" when Windows trusts
    // the signature, else why not ("0x800B0109").
    std::wstring trust_code;
    // The file version of its version resource ("1.0.0.0"), or empty when it has none.
    std::wstring version;
};

// update.exe in the current folder, the package's.
Cpackage_exe inspect_package_exe();
