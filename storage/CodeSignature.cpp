#include "storage/CodeSignature.h"

#include <wincrypt.h>
#include <softpub.h>
#include <wintrust.h>

LONG AuthenticodeVerifier::Check(const std::wstring& file)
{
    WINTRUST_FILE_INFO fileInfo = {};
    fileInfo.cbStruct = sizeof(fileInfo);
    fileInfo.pcwszFilePath = file.c_str();

    WINTRUST_DATA data = {};
    data.cbStruct = sizeof(data);
    data.dwUIChoice = WTD_UI_NONE;
    data.fdwRevocationChecks = WTD_REVOKE_NONE;
    data.dwUnionChoice = WTD_CHOICE_FILE;
    data.pFile = &fileInfo;
    data.dwStateAction = WTD_STATEACTION_VERIFY;

    GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
    HWND noWindow = static_cast<HWND>(INVALID_HANDLE_VALUE);
    LONG result = WinVerifyTrust(noWindow, &action, &data);

    if (result == ERROR_SUCCESS) {
        // The signer's chain must also pass the authenticode policy: some implementations
        // accept a chain that ends in an unknown root.
        result = TRUST_E_NOSIGNATURE;
        CRYPT_PROVIDER_DATA* provider = WTHelperProvDataFromStateData(data.hWVTStateData);
        CRYPT_PROVIDER_SGNR* signer = provider ? WTHelperGetProvSignerFromChain(provider, 0, FALSE, 0) : nullptr;
        if (signer && signer->pChainContext) {
            CERT_CHAIN_POLICY_PARA para = {};
            para.cbSize = sizeof(para);
            CERT_CHAIN_POLICY_STATUS status = {};
            status.cbSize = sizeof(status);
            if (CertVerifyCertificateChainPolicy(CERT_CHAIN_POLICY_AUTHENTICODE, signer->pChainContext, &para,
                                                 &status))
                result = static_cast<LONG>(status.dwError);
        }
    }

    data.dwStateAction = WTD_STATEACTION_CLOSE;
    WinVerifyTrust(noWindow, &action, &data);
    return result;
}
