#pragma once

#include "AccessListResource.h"
#include "ContactResource.h"
#include "DocumentFeedResource.h"
#include "DocumentResource.h"
#include "Journal.h"
#include "LocalService.h"
#include "LocalServiceState.h"
#include "OAuthResource.h"
#include "Request.h"
#include "Response.h"
#include "RouteTable.h"
#include "TransferResource.h"

#include <QList>
#include <QRegularExpression>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

namespace httplib {
class Server;
struct Request;
struct Response;
class ContentReader;
} // namespace httplib

namespace tavrel::localservice {

// What LocalService holds: the server, the account, one resource object per family of endpoints, the
// route table that picks among them, the faults and the journal. One mutex guards all of it; requests
// are answered with it held.
struct LocalService::Impl
{
    struct FaultSlot
    {
        Fault fault;
        QRegularExpression pattern;
        int remaining = 0;
    };

    Impl();

    mutable std::mutex mutex;
    std::condition_variable wake;
    std::unique_ptr<httplib::Server> server;
    std::thread thread;
    quint16 port = 0;
    bool running = false;
    bool stopping = false;

    LocalServiceState state;
    OAuthResource oauth{state};
    DocumentFeedResource feeds{state};
    DocumentResource documents{state};
    AccessListResource accessLists{state};
    TransferResource transfers{state, documents};
    ContactResource contacts{state};
    RouteTable routes;

    QList<FaultSlot> faults;
    quint64 faultGeneration = 0;
    int hanging = 0;
    Journal journal;

    // Called on the server's threads: applies a fault, reads the body, answers, writes the journal.
    void serve(const httplib::Request& req, httplib::Response& res, const httplib::ContentReader* reader);
    // The fault that applies to the request, taken from the list; the generation tells a Hang when the
    // faults were cleared.
    std::optional<Fault> takeFault(const Request& r, quint64* generation);
    // A request whose head and body were read: the fault (but for a dropped request body), the handler,
    // the journal. A non-empty `refusal` answers 400 with it and applies nothing.
    Response respond(Request& r, const std::optional<Fault>& fault, quint64 generation, bool dropRequest,
                     const QByteArray& refusal);
    // With the mutex held; `unauthorised` tells a request refused for its token.
    Response dispatch(Request& r, bool* unauthorised);

private:
    void addRoutes(); // LocalServiceRoutes.cpp
};

} // namespace tavrel::localservice
