#include "engine/covertthread.h"

CovertThread::CovertThread()
    : QThread(nullptr)
{}

CovertThread::~CovertThread() = default;

void CovertThread::requestStop() {}

void CovertThread::run()
{
    succeeded = false;
    failureReason = "not built yet";
}
