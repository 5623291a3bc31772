#include "plan_ahead.h"

#include <QMetaObject>
#include <memory>

#include "common/memory_form.h"
#include "session/session.h"

namespace zor {
namespace {

constexpr int kDrawingKind = 0;
constexpr int kDrillingKind = 1;

}  // namespace

PlanAhead::PlanAhead(Session& session, const Form& form, Shown shown)
    : session_(session), form_(form), shown_(std::move(shown)) {
  settle_.setSingleShot(true);
  settle_.setInterval(kSettleMs);
  connect(&settle_, &QTimer::timeout, this, [this] { start(); });
}

PlanAhead::~PlanAhead() {
  cancel();
}

void PlanAhead::cancel() {
  settle_.stop();
  cancelled_ = true;
  if (worker_.joinable()) worker_.join();
  ++generation_;
  delivered_ = true;
}

void PlanAhead::changed() {
  plan_.reset();
  settle_.start();
}

const JobPlan* PlanAhead::ready(JobButton button) const {
  if (!plan_ || button_ != button) return nullptr;
  if (plan_inputs(form_, session_.context(), button) != inputs_) return nullptr;
  return &*plan_;
}

void PlanAhead::start() {
  // A running job plans nothing ahead: what it changes is planned when it has ended.
  if (session_.moving()) return;
  cancel();
  const int kind = form_.index("Programs");
  if (kind != kDrawingKind && kind != kDrillingKind) {
    shown_(nullptr, JobButton::kDraw, QStringLiteral("Выберите вид программы"));
    return;
  }
  const JobButton button = kind == kDrillingKind ? JobButton::kDrill : JobButton::kDraw;
  // The boxes and the machine are copied here, on the window's thread; the plan's own
  // session works on the copies only.
  auto boxes = std::make_shared<MemoryForm>(job_boxes(form_));
  auto ctx = std::make_shared<MachineContext>(session_.context());
  std::string inputs = plan_inputs(*boxes, *ctx, button);
  cancelled_ = false;
  delivered_ = false;
  const uint64_t generation = ++generation_;
  shown_(nullptr, button, QStringLiteral("Расчёт задания…"));
  worker_ = std::thread([this, boxes, ctx, button, generation, inputs = std::move(inputs)] {
    JobPlan plan = plan_ahead(*boxes, *ctx, button, [this](int64_t) { return !cancelled_; });
    if (plan.cancelled) return;
    QMetaObject::invokeMethod(
        this,
        [this, generation, plan = std::move(plan), button, inputs]() mutable {
          deliver(generation, std::move(plan), button, std::move(inputs));
        },
        Qt::QueuedConnection);
  });
}

void PlanAhead::deliver(uint64_t generation, JobPlan plan, JobButton button, std::string inputs) {
  if (generation != generation_) return;
  if (worker_.joinable()) worker_.join();
  delivered_ = true;
  plan_ = std::move(plan);
  button_ = button;
  inputs_ = std::move(inputs);
  shown_(&*plan_, button_, QString());
}

}  // namespace zor
