#include "signature.h"
#include <wintrust.h>
#include <softpub.h>
#include <wincrypt.h>
#include "fw/cstring.h"
#include "fw/debug_trace.h"
#include "fw/dll_safety.h"
#include <string.h>

// The trust and certificate libraries are bound here, from the system folder, rather than
// through the lazy import table: a system without them must fail this check, not end the setup.
namespace {

typedef LONG(WINAPI* WinVerifyTrustFn)(HWND, GUID*, LPVOID);
typedef CRYPT_PROVIDER_DATA*(WINAPI* ProvDataFn)(HANDLE);
typedef CRYPT_PROVIDER_SGNR*(WINAPI* ProvSignerFn)(CRYPT_PROVIDER_DATA*, DWORD, BOOL, DWORD);
typedef CRYPT_PROVIDER_CERT*(WINAPI* ProvCertFn)(CRYPT_PROVIDER_SGNR*, DWORD);
typedef DWORD(WINAPI* CertGetNameStringFn)(PCCERT_CONTEXT, DWORD, DWORD, void*, LPSTR, DWORD);

struct TrustFunctions {
    WinVerifyTrustFn verify;
    ProvDataFn provData;
    ProvSignerFn signer;
    ProvCertFn cert;
    CertGetNameStringFn name;
};

bool BindTrustFunctions(TrustFunctions* f)
{
    HMODULE wintrust = LoadSystemLibrary("wintrust.dll");
    HMODULE crypt32 = LoadSystemLibrary("crypt32.dll");
    if (!wintrust || !crypt32) return false;
    f->verify = (WinVerifyTrustFn)(void*)GetProcAddress(wintrust, "WinVerifyTrust");
    f->provData = (ProvDataFn)(void*)GetProcAddress(wintrust, "WTHelperProvDataFromStateData");
    f->signer = (ProvSignerFn)(void*)GetProcAddress(wintrust, "WTHelperGetProvSignerFromChain");
    f->cert = (ProvCertFn)(void*)GetProcAddress(wintrust, "WTHelperGetProvCertFromChain");
    f->name = (CertGetNameStringFn)(void*)GetProcAddress(crypt32, "CertGetNameStringA");
    return f->verify && f->provData && f->signer && f->cert && f->name;
}

}  // namespace

void TracePartner(const char* path, const char* what)
{
    CString line;
    line.Format("Pixmora partner: %s: %s\n", path, what);
    DebugTrace(line);
}

int VerifyPublisher(HANDLE hFile, const char* path, const char* publisher)
{
    TrustFunctions f;
    if (!BindTrustFunctions(&f)) {
        TracePartner(path, "no signature verification on this system");
        return 0;
    }

    WCHAR widePath[MAX_PATH];
    if (!MultiByteToWideChar(CP_ACP, 0, path, -1, widePath, MAX_PATH)) return 0;
    WINTRUST_FILE_INFO file;
    ZeroMemory(&file, sizeof file);
    file.cbStruct = sizeof file;
    file.pcwszFilePath = widePath;
    file.hFile = hFile;  // the file that is held open, so that what is verified is what runs

    WINTRUST_DATA data;
    ZeroMemory(&data, sizeof data);
    data.cbStruct = sizeof data;
    data.dwUIChoice = WTD_UI_NONE;
    // The partners' revocation servers may be out of reach; a check that depends on them
    // would refuse a good installer for a network reason.
    data.fdwRevocationChecks = WTD_REVOKE_NONE;
    data.dwUnionChoice = WTD_CHOICE_FILE;
    data.pFile = &file;
    data.dwStateAction = WTD_STATEACTION_VERIFY;
    data.dwProvFlags = WTD_REVOCATION_CHECK_NONE;
    GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;

    LONG status = f.verify((HWND)INVALID_HANDLE_VALUE, &action, &data);
    int ok = 0;
    if (status != ERROR_SUCCESS) {
        CString what;
        what.Format("signature not valid (0x%08lx)", (unsigned long)status);
        TracePartner(path, what);
    } else {
        char name[256] = "";
        CRYPT_PROVIDER_DATA* provider = f.provData(data.hWVTStateData);
        CRYPT_PROVIDER_SGNR* signer = provider ? f.signer(provider, 0, FALSE, 0) : NULL;
        CRYPT_PROVIDER_CERT* cert = signer ? f.cert(signer, 0) : NULL;
        if (cert && cert->pCert)
            f.name(cert->pCert, CERT_NAME_ATTR_TYPE, 0, (void*)szOID_COMMON_NAME, name, sizeof name);
        ok = strcmp(name, publisher) == 0;  // exactly, byte for byte
        CString what;
        what.Format(ok ? "signed by %s" : "signed by \"%s\", not by the partner", name);
        TracePartner(path, what);
    }
    data.dwStateAction = WTD_STATEACTION_CLOSE;
    f.verify((HWND)INVALID_HANDLE_VALUE, &action, &data);
    return ok;
}
