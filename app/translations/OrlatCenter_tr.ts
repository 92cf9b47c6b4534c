<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="tr" sourcelanguage="zh_CN">
<context>
    <name>CDlgGetIntInput</name>
    <message>
        <source>输入</source>
        <translation>Input</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>CDlgSetPltUnit</name>
    <message>
        <source>PLT文件单位</source>
        <translation>PLT File Unit</translation>
    </message>
    <message>
        <source>绘图单位 </source>
        <translation>Plot unit </translation>
    </message>
    <message>
        <source>下次打开plt时不弹出此对话框</source>
        <translation>Do not show this dialog the next time a plt file is opened</translation>
    </message>
    <message>
        <source>提示:
    对于大多数CAD软件输出的plt, 1个数据单位代表0.0250mm, 这里应该选择“0.0250mm(常规)” 但某些软件(如格博)输出的plt, 1个数据单位代表1mil(即0.0254mm), 这里应该选择“0.0254mm” 如果选择了不合适的绘图单位, 会导致输出的图形尺寸有偏差.</source>
        <translation>Hint:
    In the plt files of most CAD programs one data unit is 0.0250 mm: choose “0.0250mm” here. In the plt files of some programs (such as Gerber) one data unit is 1 mil (0.0254 mm): choose “0.0254mm” here. A wrong plot unit makes the output the wrong size.</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>CDlgAboutBrelt</name>
    <message>
        <source>关于OrlatCenter</source>
        <translation>OrlatCenter Hakkında</translation>
    </message>
    <message>
        <source>示例绘图设备有限公司</source>
        <translation>Örnek Çizim Ekipmanları Ltd.</translation>
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
        <translation>Yalnız çiz, kesme</translation>
    </message>
    <message>
        <source>绘切割线</source>
        <translation>Kesim çizgilerini çiz</translation>
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
        <translation>Temizleme gücü (1~5)</translation>
    </message>
    <message>
        <source>绘图线宽(1~5)</source>
        <translation>Çizgi kalınlığı (1~5)</translation>
    </message>
    <message>
        <source>2#喷头位置(100~250栅格)</source>
        <translation>2. kafa konumu (100~250 ızgara)</translation>
    </message>
    <message>
        <source>来回校正(0~10栅格)</source>
        <translation>Çift yön düzeltmesi (0~10 ızgara)</translation>
    </message>
    <message>
        <source>1#2#喷头X向重合点数(0~10)</source>
        <translation>1/2. kafa X örtüşmesi (0~10 satır)</translation>
    </message>
    <message>
        <source>喷墨时进纸速度(1~3)</source>
        <translation>Baskıda kağıt besleme hızı (1~3)</translation>
    </message>
    <message>
        <source>切割参数</source>
        <translation>Kesim Parametreleri</translation>
    </message>
    <message>
        <source>切割方式(0-不减速 1-减速抬刀)</source>
        <translation>Kesim modu (0 tam hız, 1 yavaşla ve kaldır)</translation>
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
        <translation>Tam kesim uzunluğu (20~100)(mm)</translation>
    </message>
    <message>
        <source>X向半刀切割长度(0.1~3.0)(mm)</source>
        <translation>X yarım kesim uzunluğu (0.1~3.0)(mm)</translation>
    </message>
    <message>
        <source>Y向半刀切割长度(0.1~3.0)(mm)</source>
        <translation>Y yarım kesim uzunluğu (0.1~3.0)(mm)</translation>
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
        <translation>Bıçak başlangıç/bitiş uzatması (0~2.0mm)</translation>
    </message>
    <message>
        <source>其它参数</source>
        <translation>Diğer Parametreler</translation>
    </message>
    <message>
        <source>X向1米实际输出(200~5000mm)</source>
        <translation>X yönünde 1 m gerçek çıktı (200~5000mm)</translation>
    </message>
    <message>
        <source>Y向1米实际输出(200~5000mm)</source>
        <translation>Y yönünde 1 m gerçek çıktı (200~5000mm)</translation>
    </message>
    <message>
        <source>分段预送纸长度(0~1000mm)</source>
        <translation>Bölüm başına ön besleme (0~1000mm)</translation>
    </message>
    <message>
        <source>自动分页宽度(纸宽)(mm)</source>
        <translation>Sayfa bölme genişliği (kağıt eni)(mm)</translation>
    </message>
    <message>
        <source>机器实际长度(mm)</source>
        <translation>Kullanılabilir makine genişliği (mm)</translation>
    </message>
    <message>
        <source>起始点/右边距(0~1000mm)</source>
        <translation>Başlangıç noktası / sağ boşluk (0~1000mm)</translation>
    </message>
    <message>
        <source>DXF文件单位(1,4,10,40,100,400,1000)</source>
        <translation>DXF dosya birimi (1,4,10,40,100,400,1000)</translation>
    </message>
    <message>
        <source>绘图仪IP(修改后重启绘图仪生效);</source>
        <translation>Çizici IP (çizici yeniden başlayınca geçerli);</translation>
    </message>
    <message>
        <source>读取绘图文件时自动将外轮廓识别为切割线</source>
        <translation>Çizim dosyası okunurken dış hatları kesim çizgisi yap</translation>
    </message>
    <message>
        <source>自动将数据目录下的文件加入工作列表</source>
        <translation>Veri klasörlerindeki dosyaları iş listesine ekle</translation>
    </message>
    <message>
        <source>文件加入列表后自动开始打印</source>
        <translation>Dosya listeye eklenince baskıya başla</translation>
    </message>
    <message>
        <source>宽幅模式(分页前自动旋转)</source>
        <translation>Geniş mod (bölmeden önce döndür)</translation>
    </message>
    <message>
        <source>自动删除列表中已经完成的项</source>
        <translation>Biten işleri listeden sil</translation>
    </message>
    <message>
        <source>数据目录1(0.0250mm)(常规)</source>
        <translation>Veri klasörü 1 (0.0250mm)(olağan)</translation>
    </message>
    <message>
        <source>数据目录2(0.0254mm)(专用)</source>
        <translation>Veri klasörü 2 (0.0254mm)(özel)</translation>
    </message>
    <message>
        <source>大多数CAD软件输出的绘图文件单位为0.0250mm, 请使用数据目录1; 某些软件输出的单位为0.0254mm(1mil), 请使用数据目录2.</source>
        <translation>Çoğu CAD programı 0.0250 mm birimle yazar: veri klasörü 1'i kullanın; bazıları 0.0254 mm (1 mil) ile yazar: veri klasörü 2'yi kullanın.</translation>
    </message>
    <message>
        <source>高级参数</source>
        <translation>Gelişmiş Parametreler</translation>
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
        <translation>Ekran Görüntüsü Kaydet</translation>
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
        <translation>1. kafa sütun aralığı (20~40 ızgara)</translation>
    </message>
    <message>
        <source>2#喷头左右两列距离(20~40栅格)</source>
        <translation>2. kafa sütun aralığı (20~40 ızgara)</translation>
    </message>
    <message>
        <source>喷墨加速距离(30~100mm)</source>
        <translation>Baskı hızlanma mesafesi (30~100mm)</translation>
    </message>
    <message>
        <source>喷墨间隔脉冲数</source>
        <translation>Basılan sütun başına darbe</translation>
    </message>
    <message>
        <source>小车板软件版本(0~2)</source>
        <translation>Taşıyıcı kart yazılım sürümü (0~2)</translation>
    </message>
    <message>
        <source>2#喷头位置(0-靠右，1-靠左)</source>
        <translation>2. kafa tarafı (0 sağ, 1 sol)</translation>
    </message>
    <message>
        <source>高级切割参数</source>
        <translation>Gelişmiş Kesim Parametreleri</translation>
    </message>
    <message>
        <source>喷切重合(X)(0.0~10.0)(mm)</source>
        <translation>Baskı/kesim örtüşmesi (X)(0.0~10.0)(mm)</translation>
    </message>
    <message>
        <source>喷切重合(Y)(0.0~10.0)(mm)</source>
        <translation>Baskı/kesim örtüşmesi (Y)(0.0~10.0)(mm)</translation>
    </message>
    <message>
        <source>切割分段(喷多少次切割一段)</source>
        <translation>Kesim bölümü (kesim başına bant)</translation>
    </message>
    <message>
        <source>角度补偿(0~2)(mm)</source>
        <translation>Köşe telafisi (0~2)(mm)</translation>
    </message>
    <message>
        <source>齿轮比调整</source>
        <translation>Dişli Oranı</translation>
    </message>
    <message>
        <source>走纸轴每mm脉冲数(30~200)</source>
        <translation>Besleme ekseni mm başına darbe (30~200)</translation>
    </message>
    <message>
        <source>小车轴每mm脉冲数(30~200)</source>
        <translation>Taşıyıcı ekseni mm başına darbe (30~200)</translation>
    </message>
    <message>
        <source>修改齿轮比</source>
        <translation>Dişli Oranını Değiştir</translation>
    </message>
    <message>
        <source>恢复默认</source>
        <translation>Varsayılanlar</translation>
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
        <translation>Ekran Görüntüsü Kaydet</translation>
    </message>
</context>
<context>
    <name>CMyDlgBar</name>
    <message>
        <source>机器状态</source>
        <translation>Makine durumu</translation>
    </message>
    <message>
        <source>自动脱机</source>
        <translation>Otomatik çevrimdışı</translation>
    </message>
    <message>
        <source>控制:</source>
        <translation>Kontrol:</translation>
    </message>
</context>
<context>
    <name>CMainFrame</name>
    <message>
        <source>文件(&amp;F)</source>
        <translation>File(&amp;F)</translation>
    </message>
    <message>
        <source>添加打印文件(plt,dxf)(&amp;A)</source>
        <translation>Add Print File(plt,dxf)(&amp;A)</translation>
    </message>
    <message>
        <source>添加打印文件(plt,dxf)</source>
        <translation>Add print file(plt,dxf)</translation>
    </message>
    <message>
        <source>打开调机文件(&amp;T)</source>
        <translation>Open Test File(&amp;T)</translation>
    </message>
    <message>
        <source>打开保存的工作列表(&amp;O)</source>
        <translation>Open Saved Job List(&amp;O)</translation>
    </message>
    <message>
        <source>保存当前工作列表(&amp;S)</source>
        <translation>Save Current Job List(&amp;S)</translation>
    </message>
    <message>
        <source>当前列表导出为plt(&amp;E)</source>
        <translation>Export List as plt(&amp;E)</translation>
    </message>
    <message>
        <source>导出列表为plt文件</source>
        <translation>Export the list as a plt file</translation>
    </message>
    <message>
        <source>退出(&amp;X)</source>
        <translation>Exit(&amp;X)</translation>
    </message>
    <message>
        <source>隐藏窗口</source>
        <translation>Hide Window</translation>
    </message>
    <message>
        <source>工具栏</source>
        <translation>Toolbar</translation>
    </message>
    <message>
        <source>就绪</source>
        <translation>Ready</translation>
    </message>
    <message>
        <source>立式切割机打印任务(*.orlattask)</source>
        <translation>Cutter Job List(*.orlattask)</translation>
    </message>
</context>
<context>
    <name>Menu</name>
    <message>
        <source>添加打印文件(plt,dxf)	(&amp;A)</source>
        <translation>Yazdırma Dosyası Ekle (plt,dxf)	(&amp;A)</translation>
    </message>
    <message>
        <source>打开调机文件	(&amp;T)</source>
        <translation>Test Dosyası Aç	(&amp;T)</translation>
    </message>
    <message>
        <source>打开保存的工作列表	(&amp;O)</source>
        <translation>Kayıtlı İş Listesini Aç	(&amp;O)</translation>
    </message>
    <message>
        <source>保存当前工作列表	(&amp;S)</source>
        <translation>Geçerli İş Listesini Kaydet	(&amp;S)</translation>
    </message>
    <message>
        <source>当前列表导出为plt	(&amp;E)</source>
        <translation>Listeyi plt Olarak Dışa Aktar	(&amp;E)</translation>
    </message>
    <message>
        <source>退出	(&amp;X)</source>
        <translation>Çıkış	(&amp;X)</translation>
    </message>
    <message>
        <source>简体中文	(&amp;C)</source>
        <translation>简体中文	(&amp;C)</translation>
    </message>
    <message>
        <source>English	(&amp;E)</source>
        <translation>English	(&amp;E)</translation>
    </message>
    <message>
        <source>Turkey	(&amp;T)</source>
        <translation>Türkçe	(&amp;T)</translation>
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
        <translation>Parametreler	(&amp;P)</translation>
    </message>
    <message>
        <source>绘图单位	(&amp;U)</source>
        <translation>Çizim Birimi	(&amp;U)</translation>
    </message>
    <message>
        <source>关于 OrlatCenter(&amp;A)...</source>
        <translation>OrlatCenter Hakkında(&amp;A)...</translation>
    </message>
    <message>
        <source>文件(&amp;F)</source>
        <translation>Dosya(&amp;F)</translation>
    </message>
    <message>
        <source>Language(&amp;L)</source>
        <translation>Dil(&amp;L)</translation>
    </message>
    <message>
        <source>设置(&amp;S)</source>
        <translation>Ayarlar(&amp;S)</translation>
    </message>
    <message>
        <source>帮助(&amp;H)</source>
        <translation>Yardım(&amp;H)</translation>
    </message>
    <message>
        <source>自动</source>
        <translation>Otomatik</translation>
    </message>
    <message>
        <source>手动</source>
        <translation>Manuel</translation>
    </message>
    <message>
        <source>已完成</source>
        <translation>Tamamlandı</translation>
    </message>
    <message>
        <source>状态</source>
        <translation>Durum</translation>
    </message>
    <message>
        <source>修改份数</source>
        <translation>Kopya Sayısını Değiştir</translation>
    </message>
    <message>
        <source>修改起始位置</source>
        <translation>Başlangıç Konumunu Değiştir</translation>
    </message>
    <message>
        <source>移至最前</source>
        <translation>En Üste Taşı</translation>
    </message>
    <message>
        <source>删除“已完成”</source>
        <translation>"Tamamlandı" Olanları Sil</translation>
    </message>
    <message>
        <source>删除	DEL</source>
        <translation>Sil	DEL</translation>
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
        <translation>Baskıya Dönüştür	(Ctrl+1)</translation>
    </message>
    <message>
        <source>转换为切割	(Ctrl+2)</source>
        <translation>Kesime Dönüştür	(Ctrl+2)</translation>
    </message>
    <message>
        <source>旋转90度</source>
        <translation>90° Döndür</translation>
    </message>
    <message>
        <source>Y向(纸宽方向)手动分页</source>
        <translation>Y Yönünde (Kağıt Genişliği) Elle Sayfala</translation>
    </message>
    <message>
        <source>图形平移至左下角</source>
        <translation>Çizimi Sol Alta Taşı</translation>
    </message>
    <message>
        <source>删除</source>
        <translation>Sil</translation>
    </message>
    <message>
        <source>删除所选	(DEL)</source>
        <translation>Seçileni Sil	(DEL)</translation>
    </message>
    <message>
        <source>预览</source>
        <translation>Önizleme</translation>
    </message>
    <message>
        <source>添加打印文件(plt,dxf)
添加打印文件(plt,dxf)</source>
        <translation>Yazdırma dosyası ekle (plt,dxf)
Yazdırma dosyası ekle (plt,dxf)</translation>
    </message>
    <message>
        <source>导出列表为plt文件
导出为plt</source>
        <translation>Listeyi plt dosyası olarak dışa aktar
plt olarak dışa aktar</translation>
    </message>
    <message>
        <source>放大
放大</source>
        <translation>Yakınlaştır
Yakınlaştır</translation>
    </message>
    <message>
        <source>缩小
缩小</source>
        <translation>Uzaklaştır
Uzaklaştır</translation>
    </message>
    <message>
        <source>适合屏幕
适合屏幕</source>
        <translation>Ekrana sığdır
Ekrana sığdır</translation>
    </message>
    <message>
        <source>设置机器参数
设置机器参数</source>
        <translation>Makine parametrelerini ayarla
Makine parametreleri</translation>
    </message>
    <message>
        <source>隐藏窗口
隐藏窗口</source>
        <translation>Pencereyi gizle
Pencereyi gizle</translation>
    </message>
    <message>
        <source>就绪</source>
        <translation>Hazır</translation>
    </message>
</context>
</TS>
