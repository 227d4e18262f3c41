#include "LocalServiceFixture.h"

#include <cstring>

namespace tavrel::test {

void LocalServiceFixture::SetUp()
{
    generate(12, 3, 5);
    QString error;
    ASSERT_TRUE(m_service.start(0, &error)) << error.toStdString();
    m_client = std::make_unique<httplib::Client>("127.0.0.1", m_service.port());
    m_client->set_read_timeout(10);
    m_client->set_keep_alive(true);
    m_client->set_tcp_nodelay(true);
    m_token = m_service.issueAccessToken().toStdString();
}

void LocalServiceFixture::TearDown()
{
    m_client.reset();
    m_service.stop();
}

void LocalServiceFixture::generate(int documents, int collections, int contacts)
{
    localservice::GenerateOptions options;
    options.documents = documents;
    options.collections = collections;
    options.contacts = contacts;
    m_service.generate(options);
}

httplib::Headers LocalServiceFixture::auth(httplib::Headers extra) const
{
    extra.emplace("Authorization", "Bearer " + m_token);
    extra.emplace("GData-Version", "3");
    return extra;
}

httplib::Result LocalServiceFixture::get(const std::string& path, httplib::Headers extra)
{
    return m_client->Get(path, auth(std::move(extra)));
}

httplib::Result LocalServiceFixture::send(const char* method, const std::string& path,
                                          const std::string& body, httplib::Headers extra,
                                          const char* contentType)
{
    const httplib::Headers headers = auth(std::move(extra));
    if (std::strcmp(method, "POST") == 0)
        return m_client->Post(path, headers, body, contentType);
    if (std::strcmp(method, "PUT") == 0)
        return m_client->Put(path, headers, body, contentType);
    return m_client->Delete(path, headers, body, contentType);
}

std::string LocalServiceFixture::local(const std::string& url) const
{
    const std::string base = m_service.baseUrl().toStdString();
    return url.rfind(base, 0) == 0 ? url.substr(base.size()) : url;
}

pugi::xml_document LocalServiceFixture::parse(const std::string& body)
{
    pugi::xml_document doc;
    EXPECT_TRUE(doc.load_buffer(body.data(), body.size())) << body.substr(0, 300);
    return doc;
}

std::string LocalServiceFixture::linkHref(const pugi::xml_node& parent, const char* rel)
{
    for (pugi::xml_node l : parent.children("link")) {
        if (std::strcmp(l.attribute("rel").value(), rel) == 0)
            return l.attribute("href").value();
    }
    return {};
}

int LocalServiceFixture::count(const pugi::xml_node& parent, const char* name)
{
    int n = 0;
    for ([[maybe_unused]] pugi::xml_node c : parent.children(name))
        ++n;
    return n;
}

} // namespace tavrel::test
