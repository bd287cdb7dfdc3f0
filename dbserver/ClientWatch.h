#pragma once
// Ends a connection's job when its client goes while GT.M runs one of its requests. GT.M does
// not look at the socket then (an endless loop never would), so a thread beside it does.
// The job is stopped as "mupip stop" stops a GT.M process: SIGTERM, on which GT.M runs the
// database down and exits; SIGKILL follows when that has not ended it. Both go to the job's
// process group when the job leads one, so that commands it started end with it.

#include <condition_variable>
#include <mutex>
#include <thread>

namespace vorlan::dbserver {

class ClientWatch {
  public:
    // Starts the thread; call it once GT.M runs, so that GT.M starts in a process of one thread.
    explicit ClientWatch(int socket);
    ~ClientWatch();
    ClientWatch(const ClientWatch&) = delete;
    ClientWatch& operator=(const ClientWatch&) = delete;

    // The span of one request that runs M: the client going inside it stops the job. A
    // client gone before it began is nobody's to wait for: ClientGone() says so, and the
    // request is left unrun so that the job ends in order.
    class Busy {
      public:
        explicit Busy(ClientWatch& watch);
        ~Busy();
        Busy(const Busy&) = delete;
        Busy& operator=(const Busy&) = delete;

        bool ClientGone() const { return !m_taken; }

      private:
        ClientWatch& m_watch;
        bool m_taken = false;
    };

  private:
    void Run();
    void StopJob(std::unique_lock<std::mutex>& lock);

    int m_socket;
    int m_wake = -1; // eventfd that ends the thread's wait on the socket
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_busy = false;
    bool m_gone = false;
    bool m_ending = false;
    std::thread m_thread;
};

} // namespace vorlan::dbserver
