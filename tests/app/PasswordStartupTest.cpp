// A directory whose tables are protected by a password: the program asks for
// it in the password dialog while it starts.
#include "AppTestSupport.h"

#include "platform/forms/TLabel.h"
#include "text/Cp1251.h"

#include <string>
#include <vector>

using apptest::AppTest;

namespace {

class PasswordStartupTest : public AppTest {
protected:
    void SetUp() override {
        tools::SampleOptions options;
        options.subscribers = 300;
        options.password = "Ключ"_a;
        tools::generate_sample_directory(dir, options);
        db::Session::Default().RemoveAllPasswords();
    }
    void TearDown() override { db::Session::Default().RemoveAllPasswords(); }

    // Starts the program answering each password dialog with the next of
    // answers (nullptr: Cancel); a message box is noted and closed by Enter.
    void start_answering(std::vector<const char*> answers) {
        host.set_idle_handler([this, answers]() mutable {
            TCustomForm* form = active_form();
            ASSERT_NE(form, nullptr);
            if (form->Caption() == "Enter password") {
                ASSERT_FALSE(answers.empty()) << "asked once more than expected";
                const char* answer = answers.front();
                answers.erase(answers.begin());
                ++asked;
                if (!answer) {
                    host.press_key(ui::VK_ESCAPE);
                    return;
                }
                host.type_chars(answer);
                host.press_key(ui::VK_RETURN);
                return;
            }
            std::string text;
            for (int i = 0; i < form->ComponentCount(); ++i)
                if (auto* label = dynamic_cast<TLabel*>(form->Components(i))) text += label->Caption();
            boxes.push_back(text);
            host.press_key(ui::VK_RETURN);
        });
        start();
        host.set_idle_handler({});
    }

    int asked = 0;
    std::vector<std::string> boxes;
};

}  // namespace

TEST_F(PasswordStartupTest, AWrongPasswordAsksAgainAndTheRightOneOpensEveryTable) {
    const AnsiString wrong = "ключ"_a, right = "Ключ"_a;  // letter case counts
    start_answering({wrong.c_str(), right.c_str()});
    EXPECT_EQ(asked, 2);  // the password given once opens the other tables too
    EXPECT_TRUE(boxes.empty()) << boxes.front();
    EXPECT_TRUE(Phones->PhoneT->Active());
    EXPECT_TRUE(Phones->CityT->Active());
    EXPECT_TRUE(Phones->StreetT->Active());
    EXPECT_EQ(Phones->PhoneT->RecordCount(), 300);
}

TEST_F(PasswordStartupTest, CancelEndsWithTheEnginesMessage) {
    start_answering({nullptr});
    EXPECT_EQ(asked, 1);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].find("Phone2k.db: the table is protected by a password"), std::string::npos) << boxes[0];
    EXPECT_FALSE(Phones->PhoneT->Active());
    EXPECT_EQ(Application->MainForm(), Phones);
}
