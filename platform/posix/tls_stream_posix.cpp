// The native build carries no TLS library: HTTPS is the Windows program's, through Schannel.
#include "platform/tls_stream.h"

namespace dova {

TlsSession StartTls(ByteStream& /*transport*/, const std::string& /*hostName*/) {
  TlsSession session;
  session.failure = TlsFailure::Unavailable;
  session.detail = "TLS is not available in this build";
  return session;
}

}  // namespace dova
