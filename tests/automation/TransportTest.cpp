// The channel's transports: standard input and output (replies in order, the end of the input reported,
// Stop not taken for it) and the UNIX socket (private modes, several clients, cleaned up, a stale
// socket replaced).
#include "platform/automation/Channel.h"
#include "platform/automation/DeviceCommands.h"
#include "platform/automation/LineIo.h"
#include "platform/automation/SocketChannel.h"
#include "platform/automation/StdioChannel.h"

#include <gtest/gtest.h>

#include <atomic>
#include <fcntl.h>
#include <future>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

using namespace platform::automation;

Channel MakeChannel() {
    RegisterDeviceCommand("twice", "repeats its word", [](const std::vector<std::string>& args) {
        return CommandResult{true, args.empty() ? "" : args[0] + " " + args[0]};
    });
    return Channel(ChannelHooks{});
}

// Reads one reply (up to its status line).
std::string ReadReply(LineReader& reader) {
    std::string reply;
    std::string line;
    while (reader.ReadLine(&line)) {
        reply += line + "\n";
        if (line.rfind("ok", 0) == 0 || line.rfind("error", 0) == 0) {
            break;
        }
    }
    return reply;
}

mode_t ModeOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(lstat(path.c_str(), &st), 0) << path;
    return st.st_mode & 07777;
}

int Connect(const std::string& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path.c_str());
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    EXPECT_EQ(connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0) << path;
    return fd;
}

TEST(StdioChannelTest, AnswersEachLineInOrderAndReportsTheEndOfInput) {
    const Channel channel = MakeChannel();
    int in[2], out[2];
    ASSERT_EQ(pipe(in), 0);
    ASSERT_EQ(pipe(out), 0);
    std::promise<void> ended;
    auto endedFuture = ended.get_future();
    StdioChannel stdio(channel, in[0], out[1], [&] { ended.set_value(); });
    stdio.Start();
    ASSERT_TRUE(WriteAll(in[1], "twice hey\ndance\ntwice \"last one\""));
    close(in[1]); // the last line has no line break, and then the input ends
    StopSignal never;
    LineReader replies(out[0], never);
    EXPECT_EQ(ReadReply(replies), "ok hey hey\n");
    EXPECT_EQ(ReadReply(replies), "error unknown command dance; try help\n");
    EXPECT_EQ(ReadReply(replies), "ok last one last one\n");
    EXPECT_EQ(endedFuture.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    stdio.Stop();
    close(in[0]);
    close(out[0]);
    close(out[1]);
}

TEST(StdioChannelTest, StopIsNotTheEndOfInput) {
    const Channel channel = MakeChannel();
    int in[2], out[2];
    ASSERT_EQ(pipe(in), 0);
    ASSERT_EQ(pipe(out), 0);
    std::atomic<int> ended{0};
    {
        StdioChannel stdio(channel, in[0], out[1], [&] { ++ended; });
        stdio.Start();
        stdio.Stop();
    }
    EXPECT_EQ(ended, 0);
    for (int fd : {in[0], in[1], out[0], out[1]}) {
        close(fd);
    }
}

TEST(SocketChannelTest, PrivateSocketServesSeveralClientsAndGoesAway) {
    const Channel channel = MakeChannel();
    SocketChannel server(channel);
    std::string error;
    ASSERT_TRUE(server.Start("", &error)) << error;
    const std::string path = server.Path();
    const std::string folder = path.substr(0, path.rfind('/'));
    EXPECT_EQ(ModeOf(path), 0600u);
    EXPECT_EQ(ModeOf(folder), 0700u);

    const int first = Connect(path);
    const int second = Connect(path);
    StopSignal never;
    LineReader firstReplies(first, never);
    LineReader secondReplies(second, never);
    ASSERT_TRUE(WriteAll(second, "twice b\n"));
    ASSERT_TRUE(WriteAll(first, "twice a\n"));
    EXPECT_EQ(ReadReply(firstReplies), "ok a a\n");
    EXPECT_EQ(ReadReply(secondReplies), "ok b b\n");
    close(first);
    ASSERT_TRUE(WriteAll(second, "twice c\n"));
    EXPECT_EQ(ReadReply(secondReplies), "ok c c\n");

    server.Stop(); // with a client still connected
    close(second);
    EXPECT_NE(access(path.c_str(), F_OK), 0);
    EXPECT_NE(access(folder.c_str(), F_OK), 0);
}

TEST(SocketChannelTest, GivenPathReplacesAStaleSocketButNothingElse) {
    const Channel channel = MakeChannel();
    char folder[] = "/tmp/lullwatch-test-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const std::string path = std::string(folder) + "/control.sock";
    {
        // A socket left behind by a process that ended.
        const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path.c_str());
        ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        close(fd);
    }
    std::string error;
    {
        SocketChannel server(channel);
        ASSERT_TRUE(server.Start(path, &error)) << error;
        EXPECT_EQ(ModeOf(path), 0600u);
        const int client = Connect(path);
        StopSignal never;
        LineReader replies(client, never);
        ASSERT_TRUE(WriteAll(client, "twice x\n"));
        EXPECT_EQ(ReadReply(replies), "ok x x\n");
        close(client);
    }
    const std::string file = std::string(folder) + "/plain";
    close(open(file.c_str(), O_CREAT | O_WRONLY, 0600));
    SocketChannel refused(channel);
    EXPECT_FALSE(refused.Start(file, &error));
    EXPECT_NE(error.find("cannot make the automation socket"), std::string::npos) << error;
    unlink(file.c_str());
    rmdir(folder);
}

} // namespace
