#pragma once

#include "LocalService.h"

#include <QString>
#include <gtest/gtest.h>
#include <httplib.h>
#include <pugixml.hpp>
#include <string>

namespace tavrel::test {

// A started local service with a small generated account and a plain HTTP client holding a valid token.
class LocalServiceFixture : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Regenerates the account (keeps the server running).
    void generate(int documents, int collections = 0, int contacts = 0);

    httplib::Headers auth(httplib::Headers extra = {}) const;
    httplib::Result get(const std::string& path, httplib::Headers extra = {});
    httplib::Result send(const char* method, const std::string& path, const std::string& body,
                         httplib::Headers extra = {}, const char* contentType = "application/atom+xml");
    // Path and query of an absolute URL of the service.
    std::string local(const std::string& url) const;

    static pugi::xml_document parse(const std::string& body);
    static std::string linkHref(const pugi::xml_node& parent, const char* rel);
    static int count(const pugi::xml_node& parent, const char* name);

    localservice::LocalService m_service;
    std::unique_ptr<httplib::Client> m_client;
    std::string m_token;
};

} // namespace tavrel::test
