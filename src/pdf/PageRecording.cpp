#include "pdf/PageRecording.h"

fz_page* LoadEnginePage(fz_context* ctx, pdf_document* doc, int index) {
  fz_page* page = nullptr;
  fz_var(page);
  fz_try(ctx) { page = fz_load_page(ctx, &doc->super, index); }
  fz_catch(ctx) { return nullptr; }
  return page;
}

fz_display_list* RecordPage(fz_context* ctx, fz_page* page, fz_rect& bound, fz_cookie* cookie) {
  fz_display_list* list = nullptr;
  fz_device* dev = nullptr;
  fz_var(list);
  fz_var(dev);
  fz_try(ctx) {
    bound = fz_bound_page(ctx, page);
    list = fz_new_display_list(ctx, bound);
    dev = fz_new_list_device(ctx, list);
    fz_run_page(ctx, page, dev, fz_identity, cookie);
    fz_close_device(ctx, dev);
  }
  fz_always(ctx) { fz_drop_device(ctx, dev); }
  fz_catch(ctx) {
    const int error = fz_caught(ctx);
    if (!dev || error == FZ_ERROR_MEMORY || error == FZ_ERROR_ABORT) {
      fz_drop_display_list(ctx, list);
      return nullptr;
    }
  }
  return list;
}
