#pragma once

#include <QOAuthHttpServerReplyHandler>

namespace tavrel {

// The loopback listener of a sign-in. Unlike its base it reports a token request that failed, which the
// base would only log, leaving the sign-in waiting for ever.
class OAuth2LoopbackReplyHandler : public QOAuthHttpServerReplyHandler
{
    Q_OBJECT

public:
    using QOAuthHttpServerReplyHandler::QOAuthHttpServerReplyHandler;

    void networkReplyFinished(QNetworkReply* reply) override;

Q_SIGNALS:
    // The token endpoint could not be reached or refused the code: HTTP status (0 without an answer),
    // the provider's error text, or the network error.
    void tokenRequestFailed(int status, const QString& reason);
};

} // namespace tavrel
