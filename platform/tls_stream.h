// TLS client sessions over any ByteStream: Windows' own Schannel (SSPI) on Windows, so that
// Windows keeps the root store, revocation and protocol updates. The server's certificate chain
// is checked by the program itself against the host name (Wine's Schannel checks nothing); there
// is no way to skip that check. Builds without a TLS implementation refuse every session.
// Nothing here throws: failures are results.
#pragma once

#include <memory>
#include <string>

#include "platform/byte_stream.h"

namespace dova {

// Why a session could not be opened. The fetcher turns these into the status bar's and the
// journal's texts.
enum class TlsFailure {
  None,
  Unavailable,      // this build or system has no TLS
  HandshakeFailed,  // the transport failed or closed, a fatal alert, no common protocol, garbage
  NotTrusted,       // the chain does not end in a trusted root (self-signed, unknown root)
  Expired,          // a certificate of the chain is out of its validity period (or not yet valid)
  WrongName,        // the certificate was issued for another name
  Revoked,          // a certificate of the chain is revoked
  NotForServers,    // the leaf may not be used to authenticate a TLS server
};

struct TlsSession {
  std::unique_ptr<ByteStream> stream;  // set on success only
  TlsFailure failure = TlsFailure::None;
  std::string detail;  // the system's own words for the failure, for the journal; may be empty
};

// Runs the TLS handshake over `transport` with `hostName` as the server name (SNI) and checks
// the server's chain for that name. The session borrows `transport`, which must outlive it.
// Its Receive gives 0 only after the server's close_notify; SendAll encrypts. Destroying the
// session sends close_notify when the transport still works.
TlsSession StartTls(ByteStream& transport, const std::string& hostName);

}  // namespace dova
