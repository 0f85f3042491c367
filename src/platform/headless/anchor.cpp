int quorvex_headless_anchor = 0;
