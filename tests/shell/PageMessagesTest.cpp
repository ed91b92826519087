#include <gtest/gtest.h>

#include "shell/PageMessages.h"

using namespace shell;

TEST(PageMessages, ReadsABatchOfTouchesAndKeys) {
    std::string error;
    auto batch = PageMessages::parseInput(R"({"page":3,"events":[
        {"type":"down","x":10,"y":20.5},{"type":"move","x":0,"y":480},{"type":"up","x":480,"y":0},
        {"type":"cancel","x":1,"y":1},{"type":"text","text":"Ölwechsel 🚗"},{"type":"delete"},{"type":"return"}]})",
        error);
    ASSERT_TRUE(batch) << error;
    EXPECT_EQ(batch->page, 3);
    EXPECT_TRUE(batch->waitForFrame);
    ASSERT_EQ(batch->events.size(), 7u);
    EXPECT_EQ(std::get<PointerEvent>(batch->events[0]), (PointerEvent {PointerEvent::Phase::Down, 10, 20.5}));
    EXPECT_EQ(std::get<PointerEvent>(batch->events[3]).phase, PointerEvent::Phase::Cancel);
    EXPECT_EQ(std::get<KeyEvent>(batch->events[4]), (KeyEvent {KeyEvent::Kind::Text, "Ölwechsel 🚗"}));
    EXPECT_EQ(std::get<KeyEvent>(batch->events[5]).kind, KeyEvent::Kind::Delete);
    EXPECT_EQ(std::get<KeyEvent>(batch->events[6]).kind, KeyEvent::Kind::Return);
}

TEST(PageMessages, APageThatHearsOfFramesNeedNotWaitForThem) {
    std::string error;
    auto batch
        = PageMessages::parseInput(R"({"page":3,"n":7,"events":[{"type":"delete"}],"frame":false})", error);
    ASSERT_TRUE(batch) << error;
    EXPECT_FALSE(batch->waitForFrame);
    EXPECT_EQ(batch->number, 7u);
}

TEST(PageMessages, RefusesMalformedInputWhole) {
    std::string tooLong(257, 'a');
    std::string tooMany = R"({"page":1,"events":[)";
    for (int i = 0; i < 257; ++i)
        tooMany += std::string(i ? "," : "") + R"({"type":"delete"})";
    tooMany += "]}";
    const std::vector<std::string> cases = {
        "",
        "not json",
        "[]",
        R"({"events":[{"type":"delete"}]})",
        R"({"page":0,"events":[{"type":"delete"}]})",
        R"({"page":"1","events":[{"type":"delete"}]})",
        R"({"page":1.5,"events":[{"type":"delete"}]})",
        R"({"page":1,"events":[]})",
        R"({"page":1,"events":{}})",
        R"({"page":1,"events":[{"type":"down","x":-0.5,"y":3}]})",
        R"({"page":1,"events":[{"type":"down","x":3,"y":800.25}]})",
        R"({"page":1,"events":[{"type":"down","x":1e400,"y":3}]})",
        R"({"page":1,"events":[{"type":"down","x":"3","y":3}]})",
        R"({"page":1,"events":[{"type":"down","y":3}]})",
        R"({"page":1,"events":[{"type":"tap","x":3,"y":3}]})",
        R"({"page":1,"events":[{"x":3,"y":3}]})",
        R"({"page":1,"events":[{"type":"text","text":""}]})",
        R"({"page":1,"events":[{"type":"text","text":"a\nb"}]})",
        R"({"page":1,"events":[{"type":"text","text":"\u0000"}]})",
        R"({"page":1,"events":[{"type":"text","text":"\u0085"}]})",
        R"({"page":1,"events":[{"type":"text","text":")" + tooLong + R"("}]})",
        R"({"page":1,"events":[{"type":"text","text":7}]})",
        R"({"page":1,"events":[{"type":"delete"},{"type":"down","x":3}]})",
        R"({"page":1,"events":[{"type":"delete"}],"frame":0})",
        R"({"page":1,"n":-1,"events":[{"type":"delete"}]})",
        R"({"page":1,"n":1.5,"events":[{"type":"delete"}]})",
        tooMany,
    };
    for (auto& body : cases) {
        std::string error;
        EXPECT_FALSE(PageMessages::parseInput(body, error)) << body.substr(0, 80);
        EXPECT_FALSE(error.empty());
    }
}

TEST(PageMessages, TextMustBeValidUTF8) {
    EXPECT_TRUE(PageMessages::isValidText("Café 日本 🚗", 64));
    EXPECT_FALSE(PageMessages::isValidText("\xc3", 64)); // cut short
    EXPECT_FALSE(PageMessages::isValidText("\xc0\xaf", 64)); // overlong "/"
    EXPECT_FALSE(PageMessages::isValidText("\xed\xa0\x80", 64)); // surrogate
    EXPECT_FALSE(PageMessages::isValidText("\xf4\x90\x80\x80", 64)); // beyond U+10FFFF
    EXPECT_FALSE(PageMessages::isValidText("\xff", 64));
    EXPECT_FALSE(PageMessages::isValidText("tab\there", 64));
    EXPECT_FALSE(PageMessages::isValidText("abc", 2));
}

TEST(PageMessages, PageStateSaysHowThePageShowsTheScreen) {
    std::string error;
    auto state = PageMessages::parsePageState(
        R"({"page":2,"visible":false,"focused":false,"landscape":true,"scale":3.656,"camera":true,)"
        R"("display":{"w":390,"h":844},"ownKeyboard":true,"keyboardHeight":250.5})",
        error);
    ASSERT_TRUE(state) << error;
    EXPECT_EQ(state->page, 2);
    EXPECT_FALSE(state->visible);
    EXPECT_FALSE(state->focused);
    EXPECT_TRUE(state->landscape);
    EXPECT_TRUE(state->camera);
    EXPECT_EQ(state->scale, 1170 / 320.0); // whole pixels across the screen
    EXPECT_EQ(state->displayWidth, 390);
    EXPECT_EQ(state->displayHeight, 844);
    EXPECT_TRUE(state->ownKeyboard);
    EXPECT_EQ(state->keyboardHeight, 250.5);
    EXPECT_EQ(PageMessages::parsePageState(R"({"page":2,"scale":0.3})", error)->scale, 1.0);
    EXPECT_EQ(PageMessages::parsePageState(R"({"page":2,"scale":9})", error)->scale, 4.0);
    auto plain = PageMessages::parsePageState(R"({"page":2})", error);
    EXPECT_EQ(plain->scale, 2.0);
    EXPECT_EQ(plain->displayWidth, 0);
    EXPECT_FALSE(plain->ownKeyboard);

    // As a page says it when it connects, before it knows its number.
    auto connecting = PageMessages::parsePageState(R"({"scale":2,"display":{"w":390,"h":844}})", 7, error);
    ASSERT_TRUE(connecting) << error;
    EXPECT_EQ(connecting->page, 7);
    EXPECT_EQ(connecting->displayHeight, 844);
    EXPECT_FALSE(PageMessages::parsePageState("not json", 7, error));

    for (const char* body :
        {R"({"visible":true})", R"({"page":2,"visible":"yes"})", R"({"page":2,"scale":-1})",
            R"({"page":2,"scale":"2"})", R"({"page":2,"scale":100})", R"({"page":2,"display":{"w":390}})",
            R"({"page":2,"display":{"w":-1,"h":844}})", R"({"page":2,"display":[390,844]})",
            R"({"page":2,"ownKeyboard":1})", R"({"page":2,"keyboardHeight":900})"})
        EXPECT_FALSE(PageMessages::parsePageState(body, error)) << body;
}

TEST(PageMessages, WebContentReports) {
    std::string error;
    auto loaded
        = PageMessages::parseWebContent(R"({"page":1,"webView":4,"event":"load","title":"Help"})", error);
    ASSERT_TRUE(loaded) << error;
    EXPECT_EQ(loaded->kind, WebContentEvent::Kind::Loaded);
    EXPECT_EQ(loaded->webView, 4);
    EXPECT_EQ(loaded->title, "Help");
    auto navigated = PageMessages::parseWebContent(
        R"({"page":1,"webView":4,"event":"navigate","url":"/mobile/vantrel/help/fuel.html"})", error);
    ASSERT_TRUE(navigated) << error;
    EXPECT_EQ(navigated->url, "/mobile/vantrel/help/fuel.html");

    for (const char* body :
        {R"({"page":1,"webView":0,"event":"load"})", R"({"page":1,"webView":4,"event":"boom"})",
            R"x({"page":1,"webView":4,"event":"navigate","url":"javascript:alert(1)"})x",
            R"({"page":1,"webView":4,"event":"load","title":5})"})
        EXPECT_FALSE(PageMessages::parseWebContent(body, error)) << body;
}
