// The real Authenticode check on the build's probe program: unsigned, signed under a root
// nobody trusts, and altered after signing. (The accepted case needs the test root in the
// prefix's trusted roots; it runs with the update tasks, which hold that root only while
// they need it.)
#include <gtest/gtest.h>
#include <windows.h>
#include <wintrust.h>

#include "storage/CodeSignature.h"
#include "support/TestPaths.h"

namespace {

TEST(CodeSignature, UnsignedUntrustedAndAlteredProgramsAreRefused)
{
    const std::wstring fixtures = testsupport::ExeFolder() + L"\\fixtures\\update\\";
    struct Case {
        const wchar_t* file;
        LONG expected;
    };
    const Case cases[] = {
        {L"unsigned.exe", TRUST_E_NOSIGNATURE},
        {L"untrusted.exe", CERT_E_UNTRUSTEDROOT},
        {L"altered.exe", TRUST_E_BAD_DIGEST},
        {L"missing.exe", 0}, // any refusal
    };
    AuthenticodeVerifier verifier;
    for (const Case& c : cases) {
        const std::wstring file = fixtures + c.file;
        const LONG result = AuthenticodeVerifier::Check(file);
        if (c.expected)
            EXPECT_EQ(result, c.expected) << c.file;
        else
            EXPECT_NE(result, ERROR_SUCCESS) << c.file;
        EXPECT_FALSE(verifier.IsTrusted(file)) << c.file;
    }
}

} // namespace
