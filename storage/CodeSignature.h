#pragma once
// Whether a downloaded program may be started: its Authenticode signature.
#include <windows.h>

#include <string>

// Decides whether a file carries a trusted signature. Called on the worker thread.
class ISignatureVerifier {
public:
    virtual ~ISignatureVerifier() = default;
    virtual bool IsTrusted(const std::wstring& file) = 0;
};

// The system's Authenticode check (WinVerifyTrust, generic verify action, no user
// interface, no revocation look-up), and on top of it the authenticode chain policy on
// the signer's chain, so that a signature whose chain does not end in a trusted root is
// refused even where WinVerifyTrust lets it pass.
class AuthenticodeVerifier : public ISignatureVerifier {
public:
    bool IsTrusted(const std::wstring& file) override { return Check(file) == ERROR_SUCCESS; }

    // ERROR_SUCCESS, or the error that refused the file: WinVerifyTrust's result
    // (TRUST_E_NOSIGNATURE, TRUST_E_BAD_DIGEST, ...) or the chain policy's
    // (CERT_E_UNTRUSTEDROOT, ...).
    static LONG Check(const std::wstring& file);
};
