// SPDX-License-Identifier: GPL-3.0-or-later
// The compile service's codec against the frames of tests/golden/service/,
// which the service's own test (tests/java/brewpad/service/ProtocolTest.java)
// reads too: each decodes to the value below and encodes to the same bytes.
#include "toolchain/compiling/serviceprotocol.h"

#include <QFile>

#include <gtest/gtest.h>

#include <utility>

namespace {

QByteArray golden(const QString& name)
{
    QFile f(qEnvironmentVariable("BREWPAD_SOURCE_DIR") + QStringLiteral("/tests/golden/service/") + name +
            QStringLiteral(".bin"));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << name.toStdString();
    return f.readAll();
}

// The fields of the one frame `bytes` holds.
QList<QByteArray> fieldsOf(QByteArray bytes, const QByteArray& magic)
{
    QList<QByteArray> fields;
    EXPECT_EQ(takeServiceFrame(bytes, magic, &fields), ServiceFrameParse::Frame);
    EXPECT_TRUE(bytes.isEmpty()) << "bytes after the frame";
    return fields;
}

const QString kText = QStringLiteral("class Hello { String s = \"\u00e9\"; }\n");

std::vector<std::pair<QString, ServiceRequest>> requests()
{
    return {
        {"compile", CompileRequest{1, "/work/app", {"-g", "-d", "classes", "Hello.java"}}},
        {"check", CheckRequest{2, "/work/app", "Hello.java", kText, {"-classpath", "lib/a.jar:.", "-Xlint:all"}}},
        {"complete", CompleteRequest{CompleteRequest::Items,
                                     3,
                                     "/work/app",
                                     "Hello.java",
                                     "class Hello { void f() { \"\".len } }",
                                     30,
                                     {"-g"}}},
        {"signature", CompleteRequest{CompleteRequest::Signatures,
                                      4,
                                      "/work/app",
                                      "Hello.java",
                                      "class Hello { void f() { Math.max(1, } }",
                                      35,
                                      {}}},
        {"declaration", DeclarationRequest{5,
                                           "/work/app",
                                           "Hello.java",
                                           "class Hello { String s; }",
                                           15,
                                           "/home/u/.cache/brewpad/jdk-sources",
                                           {"-sourcepath", "src"}}},
        {"doc", DocRequest{10,
                           "/work/app",
                           "Hello.java",
                           "class Hello { String s; }",
                           15,
                           "/home/u/.cache/brewpad/jdk-sources",
                           "java.lang.String",
                           "#length()",
                           {"-sourcepath", "src"}}},
        {"outline", OutlineRequest{6, "/work/app/Hello.java", "class Hello {\n    int count;\n}\n"}},
        {"quickfix", FixesRequest{9,
                                  "/work/app",
                                  "Hello.java",
                                  "class Hello {\n    int f() {\n    }\n}\n",
                                  3,
                                  {"-classpath", "lib/a.jar"}}},
        {"rename", RenameRequest{10,
                                 "/work/app",
                                 "Calc.java",
                                 27,
                                 "sum",
                                 {{"Calc.java", "class Calc { int f() { int total = 1; return total; } }\n"}},
                                 {"Use.java"},
                                 {"-classpath", "lib/a.jar"}}},
        {"cancel", CancelRequest{2}},
        {"quit", QuitRequest{}},
    };
}

std::vector<std::pair<QString, ServiceReply>> replies()
{
    using D = ServiceDiagnostic;
    return {
        {"ready", ReadyReply{"/work/app"}},
        {"compiled", CompiledReply{1, 1, "Hello.java:1: error: ';' expected\n1 error\n"}},
        {"checked",
         CheckedReply{2, {D{1, 27, D::Warning, "unchecked call \u00e9"}, D{0, 0, D::Error, "cannot find symbol"}}}},
        {"completed", CompletedReply{3,
                                     {{"method", "length", "length() : int", "length()"},
                                      {"field", "CASE_INSENSITIVE_ORDER",
                                       "CASE_INSENSITIVE_ORDER : Comparator<String>", "CASE_INSENSITIVE_ORDER"}}}},
        {"signatures",
         SignaturesReply{
             4, {1, {{"max", "int", {"int a", "int b"}}, {"max", "long", {"long a", "long b"}}, {"Hello", "", {}}}}}},
        {"declared",
         DeclaredReply{5, "/home/u/.cache/brewpad/jdk-sources/java.base/java/lang/String.java", 1480, 16, true}},
        {"undeclared", UndeclaredReply{7, "no declared name at the caret"}},
        {"documented",
         DocReply{10, "length", "public int length()", "java.lang.String",
                  " Returns the length of this string, in {@code char}s \u00e9.\n\n @return  the length\n"}},
        {"outlined", OutlinedReply{6, {{0, "class", "Hello", "", 1, 7}, {1, "field", "count", "int", 2, 9}}}},
        {"quickfixes", FixesReply{9,
                                  {{"Import java.util.List", {{"import", 0, 0, "java.util.List"}}},
                                   {"Change to 'count'", {{"replace", 40, 43, "count"}}}}}},
        {"renamed",
         RenamedReply{
             10, "total", "The file Calc.java keeps its name", {{"Calc.java", 27, 5}, {"Calc.java", 45, 5}}}},
        {"unrenamed", UnrenamedReply{11, "cannot rename a symbol of the JDK or a library"}},
        {"cancelled", CancelledReply{2}},
        {"failed", FailedReply{8, "the compiler ended abnormally (4)", true}},
    };
}

TEST(ServiceProtocol, EveryRequestKindDecodesFromItsGoldenFrameAndEncodesToIt)
{
    for (const auto& [name, expected] : requests()) {
        SCOPED_TRACE(name.toStdString());
        const QByteArray bytes = golden(QStringLiteral("request-") + name);
        const std::optional<ServiceRequest> decoded = decodeServiceRequest(fieldsOf(bytes, QByteArray()));
        ASSERT_TRUE(decoded.has_value());
        EXPECT_TRUE(*decoded == expected);
        EXPECT_EQ(encodeServiceRequest(expected), bytes);
    }
}

TEST(ServiceProtocol, EveryReplyKindDecodesFromItsGoldenFrameAndEncodesToIt)
{
    for (const auto& [name, expected] : replies()) {
        SCOPED_TRACE(name.toStdString());
        const QByteArray bytes = golden(QStringLiteral("reply-") + name);
        const std::optional<ServiceReply> decoded = decodeServiceReply(fieldsOf(bytes, kServiceReplyMagic));
        ASSERT_TRUE(decoded.has_value());
        EXPECT_TRUE(*decoded == expected);
        EXPECT_EQ(encodeServiceReply(expected), bytes);
    }
}

TEST(ServiceProtocol, AStreamGivesItsFramesWholeAndRefusesWhatIsNoFrame)
{
    const QByteArray first = encodeServiceReply(CancelledReply{4});
    const QByteArray second = encodeServiceReply(ReadyReply{"/w"});
    QByteArray stream = first + second.left(second.size() - 1);
    QList<QByteArray> f;
    EXPECT_EQ(takeServiceFrame(stream, kServiceReplyMagic, &f), ServiceFrameParse::Frame);
    EXPECT_EQ(f, (QList<QByteArray>{"cancelled", "4"}));
    EXPECT_EQ(takeServiceFrame(stream, kServiceReplyMagic, &f), ServiceFrameParse::Incomplete);
    stream += second.right(1);
    EXPECT_EQ(takeServiceFrame(stream, kServiceReplyMagic, &f), ServiceFrameParse::Frame);
    EXPECT_EQ(f, (QList<QByteArray>{"ready", "/w"}));
    EXPECT_TRUE(stream.isEmpty());

    QByteArray partMagic("BP");
    EXPECT_EQ(takeServiceFrame(partMagic, kServiceReplyMagic, &f), ServiceFrameParse::Incomplete);
    QByteArray printed("Picked up JAVA_TOOL_OPTIONS");
    EXPECT_EQ(takeServiceFrame(printed, kServiceReplyMagic, &f), ServiceFrameParse::Bad);
    QByteArray huge = QByteArray(kServiceReplyMagic) + QByteArray("\x7f\0\0\0", 4);
    EXPECT_EQ(takeServiceFrame(huge, kServiceReplyMagic, &f), ServiceFrameParse::Bad);
}

TEST(ServiceProtocol, ListsCutShortGiveTheirWholeEntriesAndUnreadableRepliesFailTheirRequest)
{
    const auto checked = decodeServiceReply({"checked", "3", "2", "4", "5", "warning", "x", "6", "7"});
    ASSERT_TRUE(checked && std::holds_alternative<CheckedReply>(*checked));
    EXPECT_EQ(std::get<CheckedReply>(*checked).diagnostics.size(), 1);
    const auto sig = decodeServiceReply({"signatures", "3", "0", "2", "f", "int", "5", "a"});
    ASSERT_TRUE(sig && std::holds_alternative<SignaturesReply>(*sig));
    EXPECT_TRUE(std::get<SignaturesReply>(*sig).help.overloads.isEmpty());

    // A reply of a kind unknown, or short of its fields, still answers its request.
    const auto odd = decodeServiceReply({"declared", "9", "/w/B.java"});
    ASSERT_TRUE(odd && std::holds_alternative<FailedReply>(*odd));
    EXPECT_EQ(serviceReplyId(*odd), 9u);
    EXPECT_FALSE(std::get<FailedReply>(*odd).cold);
    const auto shortDoc = decodeServiceReply({"documented", "11", "length"});
    ASSERT_TRUE(shortDoc && std::holds_alternative<FailedReply>(*shortDoc));
    EXPECT_EQ(serviceReplyId(*shortDoc), 11u);
    EXPECT_FALSE(decodeServiceRequest({"doc", "12", "/w", "A.java", "class A {}", "3"}).has_value());
    EXPECT_FALSE(decodeServiceReply({"whatever"}).has_value());
    EXPECT_FALSE(decodeServiceRequest({"compile", "1"}).has_value());
    EXPECT_FALSE(decodeServiceRequest({}).has_value());
}

TEST(ServiceProtocol, IdsAreSetAndReadWhateverTheKind)
{
    ServiceRequest r = CheckRequest{};
    setServiceRequestId(r, 42);
    EXPECT_EQ(serviceRequestId(r), 42u);
    EXPECT_TRUE(serviceRequestHasText(r));
    ServiceRequest quit = QuitRequest{};
    setServiceRequestId(quit, 5);
    EXPECT_EQ(serviceRequestId(quit), 0u);
    EXPECT_FALSE(serviceRequestHasText(CompileRequest{}));
    EXPECT_FALSE(serviceRequestHasText(CancelRequest{}));
    EXPECT_EQ(serviceReplyId(FailedReply{7, "x", false}), 7u);
    EXPECT_EQ(serviceReplyId(ReadyReply{}), 0u);
}

}  // namespace
