<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="tr" sourcelanguage="zh_CN">
<context>
    <name>CDlgAboutBrelt</name>
    <message>
        <source>关于OrlatCenter</source>
        <translation>OrlatCenter Hakkında</translation>
    </message>
    <message>
        <source>示例绘图设备有限公司</source>
        <translation>Örnek Çizim Ekipmanları Ltd. Şti.</translation>
    </message>
    <message>
        <source>发布日期：2026年12月10日</source>
        <translation>Yayın tarihi: 10 Aralık 2026</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>Tamam</translation>
    </message>
</context>
<context>
    <name>CDlgGetIntInput</name>
    <message>
        <source>输入</source>
        <translation>Giriş</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>Tamam</translation>
    </message>
</context>
<context>
    <name>CDlgGetPwd</name>
    <message>
        <source>输入</source>
        <translation>Giriş</translation>
    </message>
    <message>
        <source>请输入密码:</source>
        <translation>Lütfen parolayı girin:</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>Tamam</translation>
    </message>
</context>
<context>
    <name>CDlgPara</name>
    <message>
        <source>机器设置</source>
        <translation>Makine Ayarları</translation>
    </message>
    <message>
        <source>喷墨参数</source>
        <translation>Baskı Parametreleri</translation>
    </message>
    <message>
        <source>只绘不切</source>
        <translation>Yalnızca bas, kesme</translation>
    </message>
    <message>
        <source>绘切割线</source>
        <translation>Kesim çizgilerini de bas</translation>
    </message>
    <message>
        <source>启用1#喷头</source>
        <translation>1. kafayı kullan</translation>
    </message>
    <message>
        <source>启用2#喷头</source>
        <translation>2. kafayı kullan</translation>
    </message>
    <message>
        <source>开始打印前清洗喷头</source>
        <translation>Baskıdan önce kafaları temizle</translation>
    </message>
    <message>
        <source>每段开始清洗喷头</source>
        <translation>Her bölümde kafaları temizle</translation>
    </message>
    <message>
        <source>喷前清洗浓度(1~5)</source>
        <translation>Temizleme yoğunluğu (1~5)</translation>
    </message>
    <message>
        <source>绘图线宽(1~5)</source>
        <translation>Çizgi kalınlığı (1~5)</translation>
    </message>
    <message>
        <source>2#喷头位置(100~250栅格)</source>
        <translation>2. kafanın konumu (100~250 nokta)</translation>
    </message>
    <message>
        <source>来回校正(0~10栅格)</source>
        <translation>Çift yön düzeltmesi (0~10 nokta)</translation>
    </message>
    <message>
        <source>1#2#喷头X向重合点数(0~10)</source>
        <translation>1. ve 2. kafanın X örtüşmesi (0~10 sıra)</translation>
    </message>
    <message>
        <source>喷墨时进纸速度(1~3)</source>
        <translation>Baskı sırasında kağıt besleme hızı (1~3)</translation>
    </message>
    <message>
        <source>切割参数</source>
        <translation>Kesim Parametreleri</translation>
    </message>
    <message>
        <source>切割方式(0-不减速 1-减速抬刀)</source>
        <translation>Kesim biçimi (0 tam hız, 1 yavaşla ve bıçağı kaldır)</translation>
    </message>
    <message>
        <source>切割速度(1~5)</source>
        <translation>Kesim hızı (1~5)</translation>
    </message>
    <message>
        <source>全刀刀压(10~90)</source>
        <translation>Tam kesim basıncı (10~90)</translation>
    </message>
    <message>
        <source>半刀刀压(1~90)</source>
        <translation>Yarım kesim basıncı (1~90)</translation>
    </message>
    <message>
        <source>全刀切割长度(20~100)(mm)</source>
        <translation>Tam kesim uzunluğu (20~100 mm)</translation>
    </message>
    <message>
        <source>X向半刀切割长度(0.1~3.0)(mm)</source>
        <translation>X yönünde yarım kesim uzunluğu (0.1~3.0 mm)</translation>
    </message>
    <message>
        <source>Y向半刀切割长度(0.1~3.0)(mm)</source>
        <translation>Y yönünde yarım kesim uzunluğu (0.1~3.0 mm)</translation>
    </message>
    <message>
        <source>裁纸起点(mm)</source>
        <translation>Kağıt kesim başlangıcı (mm)</translation>
    </message>
    <message>
        <source>裁纸终点(mm)</source>
        <translation>Kağıt kesim sonu (mm)</translation>
    </message>
    <message>
        <source>起刀，终刀补偿(0~2.0mm)</source>
        <translation>Bıçak başlangıç ve bitiş uzatması (0~2.0 mm)</translation>
    </message>
    <message>
        <source>其它参数</source>
        <translation>Diğer Parametreler</translation>
    </message>
    <message>
        <source>X向1米实际输出(200~5000mm)</source>
        <translation>X yönünde 1 m için gerçek çıktı (200~5000 mm)</translation>
    </message>
    <message>
        <source>Y向1米实际输出(200~5000mm)</source>
        <translation>Y yönünde 1 m için gerçek çıktı (200~5000 mm)</translation>
    </message>
    <message>
        <source>分段预送纸长度(0~1000mm)</source>
        <translation>Bölüm başına ön besleme (0~1000 mm)</translation>
    </message>
    <message>
        <source>自动分页宽度(纸宽)(mm)</source>
        <translation>Sayfa bölme genişliği (kağıt eni, mm)</translation>
    </message>
    <message>
        <source>机器实际长度(mm)</source>
        <translation>Makinenin gerçek uzunluğu (mm)</translation>
    </message>
    <message>
        <source>起始点/右边距(0~1000mm)</source>
        <translation>Başlangıç noktası / sağ kenar boşluğu (0~1000 mm)</translation>
    </message>
    <message>
        <source>DXF文件单位(1,4,10,40,100,400,1000)</source>
        <translation>DXF dosya birimi (1, 4, 10, 40, 100, 400, 1000)</translation>
    </message>
    <message>
        <source>绘图仪IP(修改后重启绘图仪生效);</source>
        <translation>Çizici IP adresi (çizici yeniden başlayınca geçerli olur)</translation>
    </message>
    <message>
        <source>读取绘图文件时自动将外轮廓识别为切割线</source>
        <translation>Çizim dosyası okunurken dış hatları kesim çizgisine çevir</translation>
    </message>
    <message>
        <source>自动将数据目录下的文件加入工作列表</source>
        <translation>Veri klasörlerindeki dosyaları iş listesine ekle</translation>
    </message>
    <message>
        <source>文件加入列表后自动开始打印</source>
        <translation>Dosya listeye girince baskıya başla</translation>
    </message>
    <message>
        <source>宽幅模式(分页前自动旋转)</source>
        <translation>Geniş kip (sayfalara bölmeden önce döndür)</translation>
    </message>
    <message>
        <source>自动删除列表中已经完成的项</source>
        <translation>Biten işleri listeden kaldır</translation>
    </message>
    <message>
        <source>数据目录1(0.0250mm)(常规)</source>
        <translation>Veri klasörü 1 (0.0250 mm, olağan)</translation>
    </message>
    <message>
        <source>数据目录2(0.0254mm)(专用)</source>
        <translation>Veri klasörü 2 (0.0254 mm, özel)</translation>
    </message>
    <message>
        <source>大多数CAD软件输出的绘图文件单位为0.0250mm, 请使用数据目录1; 某些软件输出的单位为0.0254mm(1mil), 请使用数据目录2.</source>
        <translation>Çoğu CAD programı çizim dosyalarını 0.0250 mm birimiyle yazar: veri klasörü 1&apos;i kullanın. Bazıları 0.0254 mm (1 mil) birimiyle yazar: veri klasörü 2&apos;yi kullanın.</translation>
    </message>
    <message>
        <source>高级参数</source>
        <translation>Gelişmiş...</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>Tamam</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>İptal</translation>
    </message>
    <message>
        <source>截图保存</source>
        <translation>Ekran Görüntüsünü Kaydet</translation>
    </message>
</context>
<context>
    <name>CDlgProtectPara</name>
    <message>
        <source>高级参数</source>
        <translation>Gelişmiş Parametreler</translation>
    </message>
    <message>
        <source>高级喷墨参数</source>
        <translation>Gelişmiş Baskı Parametreleri</translation>
    </message>
    <message>
        <source>双向打印</source>
        <translation>Çift yönlü baskı</translation>
    </message>
    <message>
        <source>1#喷头左右两列距离(20~40栅格)</source>
        <translation>1. kafa sütun aralığı (20~40 nokta)</translation>
    </message>
    <message>
        <source>2#喷头左右两列距离(20~40栅格)</source>
        <translation>2. kafa sütun aralığı (20~40 nokta)</translation>
    </message>
    <message>
        <source>喷墨加速距离(30~100mm)</source>
        <translation>Baskı hızlanma mesafesi (30~100 mm)</translation>
    </message>
    <message>
        <source>喷墨间隔脉冲数</source>
        <translation>Basılan sütunlar arası darbe sayısı</translation>
    </message>
    <message>
        <source>小车板软件版本(0~2)</source>
        <translation>Taşıyıcı kart yazılım sürümü (0~2)</translation>
    </message>
    <message>
        <source>2#喷头位置(0-靠右，1-靠左)</source>
        <translation>2. kafanın tarafı (0 sağ, 1 sol)</translation>
    </message>
    <message>
        <source>高级切割参数</source>
        <translation>Gelişmiş Kesim Parametreleri</translation>
    </message>
    <message>
        <source>喷切重合(X)(0.0~10.0)(mm)</source>
        <translation>X yönünde baskı-kesim örtüşmesi (0.0~10.0 mm)</translation>
    </message>
    <message>
        <source>喷切重合(Y)(0.0~10.0)(mm)</source>
        <translation>Y yönünde baskı-kesim örtüşmesi (0.0~10.0 mm)</translation>
    </message>
    <message>
        <source>切割分段(喷多少次切割一段)</source>
        <translation>Kesim bölümü (kesim başına basılan bant)</translation>
    </message>
    <message>
        <source>角度补偿(0~2)(mm)</source>
        <translation>Köşe telafisi (0~2 mm)</translation>
    </message>
    <message>
        <source>齿轮比调整</source>
        <translation>Dişli Oranı</translation>
    </message>
    <message>
        <source>走纸轴每mm脉冲数(30~200)</source>
        <translation>Besleme ekseninde mm başına darbe (30~200)</translation>
    </message>
    <message>
        <source>小车轴每mm脉冲数(30~200)</source>
        <translation>Taşıyıcı ekseninde mm başına darbe (30~200)</translation>
    </message>
    <message>
        <source>修改齿轮比</source>
        <translation>Dişli Oranını Değiştir</translation>
    </message>
    <message>
        <source>恢复默认</source>
        <translation>Varsayılanlara Dön</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>Tamam</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>İptal</translation>
    </message>
    <message>
        <source>截图保存</source>
        <translation>Ekran Görüntüsünü Kaydet</translation>
    </message>
</context>
<context>
    <name>CDlgSetPltUnit</name>
    <message>
        <source>PLT文件单位</source>
        <translation>PLT Dosya Birimi</translation>
    </message>
    <message>
        <source>绘图单位 </source>
        <translation>Çizim birimi</translation>
    </message>
    <message>
        <source>下次打开plt时不弹出此对话框</source>
        <translation>Bir sonraki plt dosyası açılışında bu pencereyi gösterme</translation>
    </message>
    <message>
        <source>提示:
    对于大多数CAD软件输出的plt, 1个数据单位代表0.0250mm, 这里应该选择“0.0250mm(常规)” 但某些软件(如格博)输出的plt, 1个数据单位代表1mil(即0.0254mm), 这里应该选择“0.0254mm” 如果选择了不合适的绘图单位, 会导致输出的图形尺寸有偏差.</source>
        <translation>Not:
    Çoğu CAD programının plt dosyalarında bir veri birimi 0.0250 mm’dir: burada “0.0250mm” seçin. Bazı programların (örneğin Gerber) plt dosyalarında bir veri birimi 1 mil’dir (0.0254 mm): burada “0.0254mm” seçin. Yanlış çizim birimi çizimi yanlış boyutta basar.</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>Tamam</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>İptal</translation>
    </message>
</context>
<context>
    <name>CMainFrame</name>
    <message>
        <source>工具栏</source>
        <translation>Araç Çubuğu</translation>
    </message>
</context>
<context>
    <name>CMyDlgBar</name>
    <message>
        <source>机器状态</source>
        <translation>Makine Durumu</translation>
    </message>
    <message>
        <source>自动脱机</source>
        <translation>Otomatik çevrim dışı</translation>
    </message>
    <message>
        <source>控制:</source>
        <translation>Kontrol</translation>
    </message>
</context>
<context>
    <name>FileFilter</name>
    <message>
        <source>All file(*.*)</source>
        <translation>Tüm dosyalar (*.*)</translation>
    </message>
    <message>
        <source>立式切割机打印任务(*.orlattask)</source>
        <translation>Kesici İş Listesi (*.orlattask)</translation>
    </message>
</context>
<context>
    <name>Menu</name>
    <message>
        <source>添加打印文件(plt,dxf)	(&amp;A)</source>
        <translation>Baskı Dosyası &amp;Ekle (plt, dxf)</translation>
    </message>
    <message>
        <source>打开调机文件	(&amp;T)</source>
        <translation>&amp;Test Dosyası Aç</translation>
    </message>
    <message>
        <source>打开保存的工作列表	(&amp;O)</source>
        <translation>Kayıtlı İş Listesini &amp;Aç...</translation>
    </message>
    <message>
        <source>保存当前工作列表	(&amp;S)</source>
        <translation>İş &amp;Listesini Kaydet</translation>
    </message>
    <message>
        <source>当前列表导出为plt	(&amp;E)</source>
        <translation>Listeyi PLT Olarak &amp;Dışa Aktar...</translation>
    </message>
    <message>
        <source>退出	(&amp;X)</source>
        <translation>Çı&amp;kış</translation>
    </message>
    <message>
        <source>简体中文	(&amp;C)</source>
        <translation>简体中文(&amp;C)</translation>
    </message>
    <message>
        <source>English	(&amp;E)</source>
        <translation>&amp;English</translation>
    </message>
    <message>
        <source>USB</source>
        <translation>USB</translation>
    </message>
    <message>
        <source>网线</source>
        <translation>Ethernet</translation>
    </message>
    <message>
        <source>连接方式</source>
        <translation>Bağlantı</translation>
    </message>
    <message>
        <source>参数	(&amp;P)</source>
        <translation>&amp;Parametreler...</translation>
    </message>
    <message>
        <source>绘图单位	(&amp;U)</source>
        <translation>Çizim &amp;Birimi...</translation>
    </message>
    <message>
        <source>关于 OrlatCenter(&amp;A)...</source>
        <translation>OrlatCenter &amp;Hakkında...</translation>
    </message>
    <message>
        <source>文件(&amp;F)</source>
        <translation>&amp;Dosya</translation>
    </message>
    <message>
        <source>Language(&amp;L)</source>
        <translation>D&amp;il</translation>
    </message>
    <message>
        <source>设置(&amp;S)</source>
        <translation>&amp;Ayarlar</translation>
    </message>
    <message>
        <source>帮助(&amp;H)</source>
        <translation>&amp;Yardım</translation>
    </message>
    <message>
        <source>自动</source>
        <translation>Otomatik</translation>
    </message>
    <message>
        <source>手动</source>
        <translation>Elle</translation>
    </message>
    <message>
        <source>已完成</source>
        <translation>Bitti</translation>
    </message>
    <message>
        <source>状态</source>
        <translation>Durum</translation>
    </message>
    <message>
        <source>修改份数</source>
        <translation>Kopya Sayısını Değiştir...</translation>
    </message>
    <message>
        <source>修改起始位置</source>
        <translation>Başlangıç Konumunu Değiştir...</translation>
    </message>
    <message>
        <source>移至最前</source>
        <translation>En Üste Taşı</translation>
    </message>
    <message>
        <source>删除“已完成”</source>
        <translation>Biten İşleri Sil</translation>
    </message>
    <message>
        <source>删除	DEL</source>
        <translation>Sil	Del</translation>
    </message>
    <message>
        <source>工作列表</source>
        <translation>İş Listesi</translation>
    </message>
    <message>
        <source>喷墨数据</source>
        <translation>Baskı Verisi</translation>
    </message>
    <message>
        <source>切割数据</source>
        <translation>Kesim Verisi</translation>
    </message>
    <message>
        <source>全选</source>
        <translation>Tümünü Seç</translation>
    </message>
    <message>
        <source>识别图形外轮廓</source>
        <translation>Dış Hatları Bul</translation>
    </message>
    <message>
        <source>转换为绘图	(Ctrl+1)</source>
        <translation>Baskıya Çevir	Ctrl+1</translation>
    </message>
    <message>
        <source>转换为切割	(Ctrl+2)</source>
        <translation>Kesime Çevir	Ctrl+2</translation>
    </message>
    <message>
        <source>旋转90度</source>
        <translation>90° Döndür</translation>
    </message>
    <message>
        <source>Y向(纸宽方向)手动分页</source>
        <translation>Y Yönünde (Kağıt Eni) Sayfalara Böl...</translation>
    </message>
    <message>
        <source>图形平移至左下角</source>
        <translation>Çizimi Sol Alt Köşeye Taşı</translation>
    </message>
    <message>
        <source>删除</source>
        <translation>Sil</translation>
    </message>
    <message>
        <source>删除所选	(DEL)</source>
        <translation>Seçileni Sil	Del</translation>
    </message>
    <message>
        <source>预览</source>
        <translation>Önizleme</translation>
    </message>
    <message>
        <source>添加打印文件(plt,dxf)
添加打印文件(plt,dxf)</source>
        <translation>Baskı dosyası ekler (plt, dxf)
Baskı dosyası ekle (plt, dxf)</translation>
    </message>
    <message>
        <source>导出列表为plt文件
导出为plt</source>
        <translation>Listeyi tek bir PLT dosyası olarak dışa aktarır
PLT olarak dışa aktar</translation>
    </message>
    <message>
        <source>放大
放大</source>
        <translation>Yakınlaştırır
Yakınlaştır</translation>
    </message>
    <message>
        <source>缩小
缩小</source>
        <translation>Uzaklaştırır
Uzaklaştır</translation>
    </message>
    <message>
        <source>适合屏幕
适合屏幕</source>
        <translation>Çizimi pencereye sığdırır
Pencereye sığdır</translation>
    </message>
    <message>
        <source>设置机器参数
设置机器参数</source>
        <translation>Makine parametrelerini ayarlar
Makine parametreleri</translation>
    </message>
    <message>
        <source>隐藏窗口
隐藏窗口</source>
        <translation>Pencereyi sistem tepsisine gizler
Pencereyi gizle</translation>
    </message>
    <message>
        <source>就绪</source>
        <translation>Hazır</translation>
    </message>
    <message>
        <source>Türkçe	(&amp;T)</source>
        <translation>&amp;Türkçe</translation>
    </message>
</context>
</TS>
