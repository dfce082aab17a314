// The program's own check of a TLS server's certificate: the chain to a root the system trusts,
// the validity periods, the host name, the server-authentication usage and, as far as the
// revocation servers can be reached, revocation. Schannel is told to leave this to us
// (SCH_CRED_MANUAL_CRED_VALIDATION): Wine's Schannel checks nothing, and the check must be the
// same everywhere.
#pragma once

#include <string>

#include "platform/tls_stream.h"
#include "platform/win32/schannel_api.h"

namespace dova {

// Checks `serverCertificate` (whose hCertStore holds the intermediates the server sent) for
// `hostName`. TlsFailure::None when the server may be trusted; otherwise the reason, with the
// system's own words in `detail`.
TlsFailure CheckServerCertificate(PCCERT_CONTEXT serverCertificate, const std::string& hostName,
                                  std::string& detail);

}  // namespace dova
