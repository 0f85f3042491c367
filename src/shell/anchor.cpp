int quorvex_core_anchor = 0;
