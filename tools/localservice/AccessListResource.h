#pragma once

#include "LocalServiceState.h"
#include "Request.h"
#include "Response.h"

#include <optional>

namespace tavrel::localservice {

// A document's access list: the list, new rules, one rule read, changed or removed, and batches.
// Rules are named by their scope ("user:a@b", "domain:x", "default").
class AccessListResource
{
public:
    explicit AccessListResource(LocalServiceState& state);

    Response feed(const QString& rid);
    Response create(const Request& r, const QString& rid);
    Response getRule(const Request& r, const QString& rid, const QString& aclId);
    Response putRule(const Request& r, const QString& rid, const QString& aclId);
    // Removing one's own access to a document of someone else removes it from the account.
    Response deleteRule(const Request& r, const QString& rid, const QString& aclId);
    // Any other method: 405 once the rule is found and the tag sent holds.
    Response ruleOtherMethod(const Request& r, const QString& rid, const QString& aclId);
    Response batch(const Request& r, const QString& rid);

private:
    struct RuleTarget
    {
        LocalServiceState::Doc* doc = nullptr;
        int index = -1;
        std::optional<Response> refused; // 404, or for a write a refused precondition
    };
    RuleTarget target(const Request& r, const QString& rid, const QString& aclId, bool write) const;

    LocalServiceState& m_state;
};

} // namespace tavrel::localservice
