// The Windows headers of Schannel, SSPI and CryptoAPI's chain functions, included in one place
// and in the order they need each other.
#pragma once

#include <windows.h>

// CERT_CHAIN_PARA carries its URL time-out only with this set.
#define CERT_CHAIN_PARA_HAS_EXTRA_FIELDS
#include <wincrypt.h>

#define SECURITY_WIN32
#include <security.h>

// MinGW-w64 declares SCH_CREDENTIALS and TLS_PARAMETERS (the credentials that reach TLS 1.3) only
// under this switch, as the Windows SDK does, and TLS_PARAMETERS names UNICODE_STRING, which
// comes from subauth.h.
#include <subauth.h>
#define SCHANNEL_USE_BLACKLISTS
#include <schannel.h>
