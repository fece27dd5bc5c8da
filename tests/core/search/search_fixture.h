#pragma once

#include <string>
#include <vector>

#include "core/store/store_fixture.h"
#include "search/store_refs.h"
#include "store/mail_text_file.h"

namespace sorvanto::test {

// A working folder with the seven stores loaded and helpers that register items the way the
// importers do (flag 1).
class SearchTest : public StoreTest {
protected:
    void SetUp() override {
        StoreTest::SetUp();
        stores.SetObserver(&seen);
        stores.LoadAll();
    }
    StoreRefs Refs() { return StoreRefs::Of(stores); }

    int AddAddress(const std::string& name, const std::string& kana, std::vector<std::string> tels,
                   std::vector<std::string> mails = {}, std::vector<std::string> tel_icons = {}) {
        AddressEntry e;
        e.name = name;
        e.kana = kana;
        e.tels = std::move(tels);
        e.tel_icons = std::move(tel_icons);
        e.mails = std::move(mails);
        EXPECT_TRUE(WriteAddressEntry("addr.ini", e));
        int key = -1;
        EXPECT_TRUE(stores.address.Register("addr.ini", 1, &key));
        fs::DeleteFile("addr.ini");
        return key;
    }
    int AddMail(MailStore& store, const std::string& from, const std::string& subject, const std::string& body,
                std::int64_t date = 1057000000, int status = 0) {
        MailText m;
        (store.IsReceived() ? m.from : m.to) = from;
        m.subject = subject;
        m.date = date;
        m.body = body;
        EXPECT_TRUE(WriteMailText("mail.txt", m));
        int key = -1;
        EXPECT_TRUE(store.Register("mail.txt", status, 1, &key));
        return key;
    }
    int AddMelody(const std::string& title, const std::string& tail = "") {
        const std::string chunk = "titl" + std::string(1, '\0') + std::string(1, char(title.size())) + title;
        const std::string body = chunk + tail;
        std::string mld = "melo";
        for (int shift = 24; shift >= 0; shift -= 8) mld += char((body.size() >> shift) & 0xFF);
        mld += body;
        fs::WriteFile("song.mld", mld);
        int key = -1;
        EXPECT_EQ(stores.melody.Register("song.mld", 1, &key), RegisterResult::kRegistered);
        return key;
    }

    CategoryStores stores;
    RecordingObserver seen;
};

}  // namespace sorvanto::test
