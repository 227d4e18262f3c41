#pragma once

#include "LocalServiceState.h"
#include "Request.h"
#include "Response.h"

#include <optional>

namespace tavrel::localservice {

// The address book: the contact list (with paging, deleted ones, updated-min), one contact read,
// created, changed or deleted, batches, and each contact's photo.
class ContactResource
{
public:
    explicit ContactResource(LocalServiceState& state);

    Response feed(const Request& r);
    Response get(const Request& r, const QString& id);
    Response create(const Request& r);
    Response put(const Request& r, const QString& id);
    Response remove(const Request& r, const QString& id);
    Response batch(const Request& r);

    Response getPhoto(const QString& id);
    Response putPhoto(const Request& r, const QString& id);
    Response deletePhoto(const Request& r, const QString& id);
    // Any other method: 405 once the contact is found and the tag sent holds.
    Response photoOtherMethod(const Request& r, const QString& id);

private:
    // Finds the contact of a photo write into `c`: 404 without one, 412 when the tag sent is stale.
    std::optional<Response> photoWriteRefused(const Request& r, const QString& id,
                                              LocalServiceState::Contact*& c);

    LocalServiceState& m_state;
};

} // namespace tavrel::localservice
