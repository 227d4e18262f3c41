#include "LocalServiceImpl.h"

#include "RequestMessage.h"

#include <algorithm>
#include <dlfcn.h>
#include <httplib.h>
#include <memory>
#include <optional>
#include <string>

// The library calls every 308 "Permanent Redirect"; the resumable-upload protocol's 308 is "Resume
// Incomplete", and that is what its clients read. The server takes its reason phrases from this function of
// the library (through the dynamic linker), so this definition answers for it and hands every other status
// to the library's own.
namespace httplib::detail {
const char* status_message(int status)
{
    if (status == 308)
        return "Resume Incomplete";
    using Lookup = const char* (*)(int);
    static const auto library =
        reinterpret_cast<Lookup>(dlsym(RTLD_NEXT, "_ZN7httplib6detail14status_messageEi"));
    return library ? library(status) : "";
}
} // namespace httplib::detail

namespace tavrel::localservice {

namespace {
// Answers this large are sent from their own bytes.
constexpr qsizetype kProvidedBodyBytes = 1024 * 1024;
} // namespace

LocalService::Impl::Impl()
{
    addRoutes();
}

void LocalService::Impl::serve(const httplib::Request& req, httplib::Response& res,
                               const httplib::ContentReader* reader)
{
    Request r;
    r.method = QString::fromStdString(req.method);
    r.path = QString::fromStdString(req.path);
    r.rawTarget = QString::fromStdString(req.target);
    for (const auto& [k, v] : req.params)
        r.query.insert(QString::fromStdString(k), QString::fromStdString(v));
    for (const auto& [k, v] : req.headers) {
        const QString name = QString::fromStdString(k).toLower();
        const QString value = QString::fromStdString(v);
        if (r.headers.contains(name))
            r.headers[name] += QStringLiteral(", ") + value;
        else
            r.headers.insert(name, value);
    }

    // Which fault applies, decided before the body is read.
    quint64 generation = 0;
    const std::optional<Fault> fault = takeFault(r, &generation);

    // A malformed target, or a length that is no number or too large, is refused before a byte of the body
    // is read; a body that ends before its length (the client went, or the read timed out) is refused
    // after.
    qint64 declared = -1;
    QByteArray refusal = RequestMessage::refusedTarget(QByteArray::fromStdString(req.target));
    if (refusal.isEmpty() && r.headers.contains(QStringLiteral("content-length")))
        refusal = RequestMessage::refusedLength(r.header("content-length"), &declared);
    const bool dropRequest = fault && fault->kind == Fault::DropAfterBytes && reader;
    if (reader && refusal.isEmpty()) {
        const qint64 limit = dropRequest ? fault->bytes : -1;
        const bool complete = (*reader)([&](const char* data, size_t length) {
            if (limit >= 0) {
                const qint64 room = limit - r.body.size();
                r.body.append(data, qsizetype(std::min<qint64>(room, qint64(length))));
                if (r.body.size() >= limit) {
                    r.truncated = true;
                    return false;
                }
                return true;
            }
            r.body.append(data, qsizetype(length));
            return true;
        });
        if (dropRequest)
            r.truncated = true;
        else if (!complete || (declared >= 0 && r.body.size() != declared))
            refusal = "The request body is shorter than its Content-Length";
    } else if (!reader) {
        r.body = QByteArray::fromStdString(req.body);
    }

    Response out = respond(r, fault, generation, dropRequest, refusal);

    res.status = out.status;
    for (const auto& [k, v] : out.headers)
        res.set_header(k.toStdString(), v.toStdString());
    res.set_header("GData-Version", "3.0");
    // The rest of a refused body may still be on its way: the connection cannot carry another request.
    if (!refusal.isEmpty())
        res.set_header("Connection", "close");
    if (out.stream) {
        auto sent = std::make_shared<qint64>(0);
        res.set_chunked_content_provider(
            out.contentType.toStdString(), [this, out, sent](size_t, httplib::DataSink& sink) {
                const QByteArray& piece = *sent == 0 && !out.body.isEmpty() ? out.body : out.filler;
                if (*sent > 0 || out.body.isEmpty()) {
                    std::unique_lock lock(mutex);
                    if (wake.wait_for(lock, std::chrono::milliseconds(out.streamDelayMs),
                                      [&] { return stopping; }))
                        return false;
                }
                if (piece.isEmpty()) {
                    sink.done();
                    return true;
                }
                qint64 length = piece.size();
                if (out.streamBytes > 0)
                    length = std::min(length, out.streamBytes - *sent);
                if (length <= 0 || !sink.write(piece.constData(), size_t(length)))
                    return false;
                *sent += length;
                if (out.streamBytes > 0 && *sent >= out.streamBytes)
                    sink.done();
                return true;
            });
    } else if (out.drop) {
        auto body = std::make_shared<std::string>(out.body.toStdString());
        const size_t keep = size_t(std::min<qint64>(out.dropAfter, qint64(body->size())));
        res.set_content_provider(std::max<size_t>(body->size(), keep + 1), out.contentType.toStdString(),
                                 [body, keep](size_t, size_t, httplib::DataSink& sink) {
                                     if (keep > 0)
                                         sink.write(body->data(), keep);
                                     return false;
                                 });
    } else if (out.body.size() >= kProvidedBodyBytes) {
        // A large answer (a download) goes out from its own bytes, not from one more copy of them.
        const QByteArray body = out.body;
        res.set_content_provider(size_t(body.size()), out.contentType.toStdString(),
                                 [body](size_t offset, size_t length, httplib::DataSink& sink) {
                                     const size_t left =
                                         size_t(body.size()) - std::min(offset, size_t(body.size()));
                                     return sink.write(body.constData() + offset, std::min(length, left));
                                 });
    } else if (!out.body.isEmpty() || out.status == 200 || out.status == 201) {
        res.set_content(out.body.constData(), size_t(out.body.size()), out.contentType.toStdString());
    }
}

std::optional<Fault> LocalService::Impl::takeFault(const Request& r, quint64* generation)
{
    std::lock_guard lock(mutex);
    *generation = faultGeneration;
    for (int i = 0; i < faults.size(); ++i) {
        FaultSlot& slot = faults[i];
        if (!slot.fault.method.isEmpty() && slot.fault.method.compare(r.method, Qt::CaseInsensitive) != 0)
            continue;
        if (!slot.fault.pathPattern.isEmpty() && !slot.pattern.match(r.path).hasMatch())
            continue;
        const Fault fault = slot.fault;
        if (--slot.remaining <= 0)
            faults.removeAt(i);
        return fault;
    }
    return std::nullopt;
}

Response LocalService::Impl::respond(Request& r, const std::optional<Fault>& fault, quint64 generation,
                                     bool dropRequest, const QByteArray& refusal)
{
    Response out;
    bool handled = false;
    if (!refusal.isEmpty()) {
        out = Response::text(400, refusal);
        handled = true;
    } else if (fault && !dropRequest) {
        std::unique_lock lock(mutex);
        switch (fault->kind) {
        case Fault::Status:
            out = Response::text(fault->status, "Injected failure " + QByteArray::number(fault->status));
            if (fault->status == 503)
                out.header("Retry-After", "0");
            if (fault->status == 401)
                out.header("WWW-Authenticate",
                           "Bearer realm=\"https://accounts.google.com/\", error=invalid_token");
            handled = true;
            break;
        case Fault::Delay:
            wake.wait_for(lock, std::chrono::milliseconds(fault->delayMs), [&] { return stopping; });
            break;
        case Fault::Hang:
            ++hanging;
            wake.wait(lock, [&] { return stopping || faultGeneration != generation; });
            --hanging;
            if (stopping) {
                out = Response::text(503, "Service stopping");
                handled = true;
            }
            break;
        case Fault::MalformedBody:
            out = Response::xml(200, Response::kAtomFeed,
                                QByteArray(Response::kXmlHeader) +
                                    "<feed xmlns='http://www.w3.org/2005/Atom'><entry><title>broken</feed");
            handled = true;
            break;
        case Fault::DropAfterBytes:
            break;
        case Fault::Answer:
        case Fault::Stream:
            out = Response();
            out.status = fault->status;
            out.contentType = "application/octet-stream";
            for (const auto& [name, value] : fault->headers) {
                if (name.compare("Content-Type", Qt::CaseInsensitive) == 0)
                    out.contentType = value;
                else
                    out.header(name, value);
            }
            out.body = fault->body;
            out.stream = fault->kind == Fault::Stream;
            out.filler = fault->filler;
            out.streamDelayMs = fault->delayMs;
            out.streamBytes = fault->bytes;
            handled = true;
            break;
        }
    }
    bool unauthorised = false;
    if (!handled) {
        std::lock_guard lock(mutex);
        out = dispatch(r, &unauthorised);
    }
    if (dropRequest) {
        out.drop = true;
        out.dropAfter = 0;
    } else if (fault && fault->kind == Fault::DropAfterBytes) {
        out.drop = true;
        out.dropAfter = fault->bytes;
    }

    std::lock_guard lock(mutex);
    JournalEntry j;
    j.method = r.method;
    j.path = r.path;
    j.rawTarget = r.rawTarget;
    j.query = r.query;
    j.headers = r.headers;
    j.body = r.body;
    j.status = dropRequest ? 0 : out.status;
    journal.append(std::move(j), !refusal.isEmpty() || unauthorised);
    return out;
}

Response LocalService::Impl::dispatch(Request& r, bool* unauthorised)
{
    const RouteTable::Route* route = routes.find(r);
    // Everything but the public routes needs a token, an unknown path included.
    if (!route || route->access != RouteTable::Public) {
        if (!oauth.authorised(r, &r.account)) {
            *unauthorised = true;
            return oauth.unauthorised();
        }
    }
    if (!route)
        return Response::text(404, "Not Found");
    return route->handler(r);
}

} // namespace tavrel::localservice
